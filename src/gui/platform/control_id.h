#pragma once
// Every control and menu action of a window carries the resource id its window
// gives it: as its object name (the id in decimal) and as the property "controlId".
// Tests and tools find a control by that id; the window itself uses typed members.

#include <QObject>
#include <QString>
#include <QVariant>

namespace veltrix::platform {

inline constexpr char kControlIdProperty[] = "controlId";

inline void SetControlId(QObject* control, int id) {
    control->setObjectName(QString::number(id));
    control->setProperty(kControlIdProperty, id);
}

// The id a control carries; -1 for none.
inline int ControlIdOf(const QObject* control) {
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : -1;
}

// The control with resource id `id` of type T below `root`; nullptr when there is none
// or it is of another type.
template <typename T>
T* FindControl(const QObject& root, int id) {
    return root.findChild<T*>(QString::number(id));
}

}  // namespace veltrix::platform
