#pragma once
// Tells a screen reader about a change it would otherwise miss: a status that changes
// while the focus is elsewhere. Qt 6.4 has no announcement event, so the text becomes
// the accessible description of the control it belongs to; the description-changed
// event reaches AT-SPI as object:property-change:accessible-description, which a
// screen reader can speak. Every announcement of the program goes through here.

class QString;
class QWidget;

namespace veltrix::platform {

// `source` now says `text`; nothing is sent when it said so already.
void Announce(QWidget* source, const QString& text);

}  // namespace veltrix::platform
