#pragma once
// What the window shows of one host: the controller tabs and area, the drive and RAID
// set lists with their information group, the rebuild controls and the controller
// picture, filled from the HostMonitor shown. The body presents; it builds no widget
// (the window lays the controls out) and keeps the user's selection, which it tells
// the monitor's session.

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "gui/diagram/diagram_state.h"
#include "gui/hostview/host_body_view.h"
#include "gui/hostview/info_panels.h"
#include "gui/platform/heap_release.h"
#include "session/session_types.h"
#include "watch/host_monitor.h"

class QWidget;

namespace veltrix {

class Device;
class RaidSet;

// What the body shows and selects of the host it shows.
struct HostBodyState {
    std::uint8_t currentController = 0;
    // Selected rows of the two lists; -1 for none.
    int selectedDevice = -1;
    int selectedSet = -1;
    // The drive row selected by the last click, for toggling it off; -1 for none.
    int lastDeviceRow = -1;
    bool diagramActive = false;
};

class HostBody : public QObject {
    Q_OBJECT

  public:
    // `window` holds the controls of `view` (their ids are looked up in it); `diagram`
    // may be null (nothing draws the picture).
    HostBody(QWidget& window, const HostBodyView& view, HostMonitor& monitor, DiagramView* diagram);

    // Shows `monitor` from now on: its lists and what it reports, as a report would
    // have left them; its session is told nothing.
    void ShowMonitor(HostMonitor& monitor);

    // Display of the current controller.
    void ShowControllerInfo(int controller);
    // The controller's drives and RAID sets in the lists, nothing selected in them.
    void ShowLists(int controller);
    void ShowDeviceInfo(const Device& device);
    void ShowRaidInfo();
    void ClearSetDisplay();
    // What a change does to the controller picture.
    enum class DiagramUpdate : std::uint8_t { DrawIfActive, ActivateAndDraw, Deactivate };
    void UpdateDiagram(DiagramUpdate update, const std::optional<DiagramSelection>& selection);
    const std::optional<DiagramState>& LastDiagram() const { return lastDiagram_; }

    // Rebuild controls.
    void ShowRebuildControlsForSet(const RaidSet& set);
    void EnableRebuildControls(bool enable);
    void ShowRebuildControls(bool show);
    // The slider with its labels and the two captions, without the rebuild's figures.
    void ShowRebuildCaptionsOnly();

    // H toggles the first RAID set, wherever the focus is.
    void ToggleFirstSet();
    // A login starts: the picture of the connect, no set selected, the slider at 0.
    void ShowConnecting();
    // The controllers the login read, the first one shown.
    void ShowEnumerated(int controllerCount);
    // The logoff's reset, in two steps around the window's announcement of it: the
    // tabs, lists and rebuild controls; then every value a dash (and the picture
    // redrawn unless `quiet`).
    void ShowLoggedOff();
    void DashValues(bool quiet);

    const HostBodyState& State() const { return state_; }

  private:
    // Every connection to the shown monitor has `binding_` as its context.
    void Bind();
    void ConnectControls();

    // What the user does.
    void OnDeviceSelectionChanged();
    void OnSetSelectionChanged();
    void OnControllerTabChanged();

    // What the shown monitor reports.
    void OnRebuildStep(const RebuildView& view);
    void OnControllerReRead(int controller);
    void OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty);
    // Tells the session what is selected: the controller, the set and the slider.
    void TellSessionSelection();

    void ApplyPanel(const std::vector<PanelItem>& panel);
    void ClearInfoValues();
    // The set or drive a list row shows (each row carries its object's index).
    const RaidSet* RaidSetOfRow(int row) const;
    const Device* DeviceOfRow(int row) const;
    void NoteSelections();

    QWidget& window_;
    const HostBodyView& view_;
    HostMonitor* monitor_;
    DiagramView* diagram_;
    QObject* binding_ = nullptr;
    // Set while the body shows a monitor's state: the selection it makes then is the
    // body's, not told to the session.
    bool showingOnly_ = false;
    // The selection last told to the session, so an unchanged one is not sent again.
    std::optional<std::array<int, 3>> toldSelection_;
    HostBodyState state_;
    std::optional<DiagramState> lastDiagram_;
    platform::HeapRelease heapRelease_;
};

}  // namespace veltrix
