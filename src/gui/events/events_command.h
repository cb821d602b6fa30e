#pragma once
// The menu's events view of every watched host. The hosts are known from the start;
// the view and its table of all their lines are made when first asked for, so that
// nothing hidden is built at start-up or follows each new line before that.

#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace veltrix {

class EventHistory;
class EventsDialog;
class EventsModel;

class EventsCommand {
  public:
    // The view belongs to `window`.
    explicit EventsCommand(QWidget* window);
    ~EventsCommand();

    // The lines of `history` as host `name`'s (it must stay until RemoveHost); a
    // history already added is renamed.
    void AddHost(const QString& name, EventHistory& history);
    void RemoveHost(EventHistory& history);
    void RenameHost(EventHistory& history, const QString& name);

    // Shows the one view, brought to the front.
    void Open();
    // The view; null until it is first opened.
    EventsDialog* View() const { return view_.get(); }

  private:
    struct Host {
        QString name;
        EventHistory* history;
    };

    QWidget* window_;
    std::vector<Host> hosts_;
    // With the view: the model first, so that it outlives the view over it.
    std::unique_ptr<EventsModel> model_;
    std::unique_ptr<EventsDialog> view_;
};

}  // namespace veltrix
