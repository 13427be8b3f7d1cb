#pragma once
// Resource and control identifiers of Duplora.exe, shared by the resource script, the window and
// the tests that read the window from outside. Plain #defines: the resource compiler reads this.

// Icons (MAINICON is the idle icon, the executable's own).
#define IDI_BUSY 2

// Pictures: 32-bit bitmaps with premultiplied alpha.
#define IDB_STEP_PENDING 101
#define IDB_STEP_PROCESSING 102
#define IDB_STEP_OK 103
#define IDB_STEP_ERROR 104
#define IDB_BUTTON_START 111
#define IDB_BUTTON_START_DISABLED 112
#define IDB_BUTTON_OCULTAR 113
#define IDB_BUTTON_FECHAR 114
#define IDB_TRAY_FECHAR 121
#define IDB_TRAY_OCULTAR 122
#define IDB_TRAY_RESTAURAR 123
#define IDB_TRAY_INICIAR_BACKUP 124

// Controls of TFrmPrincipal, by their names in the window's description (WindowLayout.h, whose
// ControlId values they are). The controls of step n are numbered from their step: its picture
// IDC_STEP_IMAGE + n, its option box IDC_STEP_BOX + n, its caption's label IDC_STEP_LABEL + n.
#define IDC_GRP_AGENDAMENTO 1001
#define IDC_CHK_DIARIO 1002
#define IDC_EDT_HORARIO 1003
#define IDC_LABEL1 1004
#define IDC_PNL_OPCOES 1005
#define IDC_LBL_PROGRESSO 1015
#define IDC_LBL_DESTINO 1016
#define IDC_PROGRESS_BAR 1017
#define IDC_BTN_INICIAR_BACKUP 1018
#define IDC_BTN_OCULTAR 1019
#define IDC_BTN_FECHAR 1020
#define IDC_IMG_PENDENDE 1021
#define IDC_IMG_OK 1022
#define IDC_IMG_ERRO 1023
#define IDC_IMG_PROCESSANDO 1024
#define IDC_STEP_IMAGE 1100
#define IDC_STEP_BOX 1200
#define IDC_STEP_LABEL 1300

// Items of the tray menu PopupTrayIcon.
#define IDM_INICIAR_BACKUP 2001
#define IDM_OCULTAR_RESTAURAR 2002
#define IDM_FECHAR 2003

// The window class of TFrmPrincipal and of its own controls.
#define DUPLORA_MAIN_CLASS "TFrmPrincipal"
#define DUPLORA_PROGRESS_CLASS "DuploraProgressBar"
#define DUPLORA_IMAGE_CLASS "DuploraImage"
#define DUPLORA_FRAME_CLASS "DuploraFrame"
