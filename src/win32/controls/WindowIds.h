#pragma once
// The window's description (WindowLayout.h) in the Win32 program's terms: each control's and
// menu item's numeric id (ResourceIds.h, which the resource script and the tests that read the
// window from outside use too), and each picture's resource.

#include "controls/WindowLayout.h"
#include "win32/controls/ResourceIds.h"

namespace win32 {

// A control's or menu item's numeric id: its ControlId's stable number.
constexpr int NumericId(ControlId id) { return static_cast<int>(id); }
static_assert(NumericId(ControlId::grpAgendamento) == IDC_GRP_AGENDAMENTO);
static_assert(NumericId(ControlId::imgProcessando) == IDC_IMG_PROCESSANDO);
static_assert(NumericId(ControlId::btnIniciarBackup) == IDC_BTN_INICIAR_BACKUP);
static_assert(NumericId(StepImage(1)) == IDC_STEP_IMAGE + 1);
static_assert(NumericId(StepBox(2)) == IDC_STEP_BOX + 2);
static_assert(NumericId(StepLabel(1)) == IDC_STEP_LABEL + 1);
static_assert(NumericId(ControlId::MenuIniciarBackup) == IDM_INICIAR_BACKUP);
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
