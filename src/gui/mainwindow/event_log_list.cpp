#include "gui/mainwindow/event_log_list.h"

#include <QListWidget>
#include <algorithm>

namespace veltrix {

void AppendEventLogLine(QListWidget& list, const QString& line, int limit) {
    const int keep = std::max(limit, 1) - 1;
    while (list.count() > keep) {
        delete list.takeItem(0);
    }
    list.addItem(line);
}

}  // namespace veltrix
