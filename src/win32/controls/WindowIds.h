#pragma once
// The window's description (WindowLayout.h) in the Win32 program's terms: each control's and
// menu item's numeric id (ResourceIds.h, which the resource script and the tests that read the
// window from outside use too), and each picture's resource.

#include "ResourceIds.h"
#include "WindowLayout.h"

namespace win32 {

// The controls are numbered from IDC_GRP_AGENDAMENTO in the description's order, the menu items
// from IDM_INICIAR_BACKUP.
constexpr int NumericId(ControlId id) {
    const int index = static_cast<int>(id);
    const int firstItem = static_cast<int>(ControlId::MenuIniciarBackup);
    return index < firstItem ? IDC_GRP_AGENDAMENTO + index : IDM_INICIAR_BACKUP + index - firstItem;
}
static_assert(NumericId(ControlId::imgProcessando) == IDC_IMG_PROCESSANDO);
static_assert(NumericId(ControlId::btnIniciarBackup) == IDC_BTN_INICIAR_BACKUP);
static_assert(NumericId(ControlId::Fechar1) == IDM_FECHAR);

// The bitmap resource of a picture (not of the icons, which are icon resources: MAINICON and
// IDI_BUSY); 0 for Picture::None.
constexpr int BitmapId(Picture picture) {
    switch (picture) {
        case Picture::StepPending:
            return IDB_STEP_PENDING;
        case Picture::StepProcessing:
            return IDB_STEP_PROCESSING;
        case Picture::StepOk:
            return IDB_STEP_OK;
        case Picture::StepError:
            return IDB_STEP_ERROR;
        case Picture::ButtonStart:
            return IDB_BUTTON_START;
        case Picture::ButtonStartDisabled:
            return IDB_BUTTON_START_DISABLED;
        case Picture::ButtonOcultar:
            return IDB_BUTTON_OCULTAR;
        case Picture::ButtonFechar:
            return IDB_BUTTON_FECHAR;
        case Picture::TrayFechar:
            return IDB_TRAY_FECHAR;
        case Picture::TrayOcultar:
            return IDB_TRAY_OCULTAR;
        case Picture::TrayRestaurar:
            return IDB_TRAY_RESTAURAR;
        case Picture::TrayIniciarBackup:
            return IDB_TRAY_INICIAR_BACKUP;
        default:
            return 0;
    }
}

}  // namespace win32
