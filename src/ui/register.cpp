#include "engine/group.h"
#include "ui/w_artefacts.h"
#include "ui/w_help.h"
#include "ui/w_hiscores.h"
#include "ui/w_history.h"
#include "ui/w_map.h"
#include "ui/w_menu.h"
#include "ui/w_menumain.h"
#include "ui/w_menuoptions.h"
#include "ui/w_menuplayer.h"
#include "ui/w_stats.h"

namespace velmora {

// The window classes of this folder announce their codes to the scene group here.
void RegisterUiWindows() {
    RegisterExitDialog(CreateExitDialog);
    RegisterWindow(12, CreateMenuOptionsWindow);
    RegisterWindow(13, CreateMenuPlayer);
    RegisterWindow(16, CreateMenuStats);
    RegisterWindow(11, CreateMenuMain);
    RegisterWindow(15, CreateMenuMap);
    RegisterWindow(5, CreateHiScores);
    RegisterWindow(3, CreateHelp);
    RegisterWindow(6, CreateHistory);
    RegisterWindow(7, CreateArtefacts);
}

} // namespace velmora
