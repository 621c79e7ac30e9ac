#include "app/program_actions.h"

#include <utility>

#include "app/announcement.h"
#include "app/clock_log.h"
#include "app/draw.h"
#include "app/rights_list.h"
#include "app/schedule.h"

namespace app {

WindowActions ProgramActions(WindowPort& window, AppState& state, net::RequestFunction request) {
  WindowActions actions;
  actions.created = [&window, request] {
    StartUp(window, [&window, request] { ShowAnnouncement(window, request); });
  };
  actions.fetchClicked = [&window, request] { FetchRightsList(window, request); };
  actions.listClicked = [&window, &state] { SelectRight(window, state); };
  actions.drawClicked = [&window, &state, request] { DrawOnce(window, state, request); };
  actions.scheduleClicked = [&window, &state, request] {
    ToggleSchedule(window, state, request);
  };
  return actions;
}

}  // namespace app
