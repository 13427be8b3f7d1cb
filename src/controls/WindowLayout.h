#pragma once
// TFrmPrincipal described once, without a toolkit: its controls with their names, kinds,
// parents, places, texts, states at creation, tab order, fonts and pictures; the window's size
// and caption; its timers; the tray menu's items. The Qt and the Win32 window build themselves
// from it, and the window's logic names controls by their ids.

#include <cstddef>
#include <optional>

#include "Application.h"

enum class ControlId {
    grpAgendamento,
    chkDiario,
    edtHorario,
    Label1,
    pnlOpcoes,
    imgConectarBanco,
    imgCopiarPastaTavix,
    imgCopiarBanco,
    imgCopiarMusicas,
    chkConectarBanco,
    Label2,
    chkCopiarPastaTavix,
    chkCopiarBancoDados,
    chkCopiarMusicas,
    lblProgresso,
    lblDestino,
    cxProgressBar1,
    btnIniciarBackup,
    btnOcultar,
    btnFechar,
    imgPendende,
    imgOk,
    imgErro,
    imgProcessando,
    // The items of the tray menu PopupTrayIcon.
    MenuIniciarBackup,
    MenuOcultar_Restaurar,
    Fechar1,
};

// Every picture the window shows; each window maps them to its own resources.
enum class Picture {
    None,
    StepPending,
    StepProcessing,
    StepOk,
    StepError,
    ButtonStart,
    ButtonStartDisabled,
    ButtonOcultar,
    ButtonFechar,
    TrayFechar,  // ListaImagemTray, indexes 0 to 3
    TrayOcultar,
    TrayRestaurar,
    TrayIniciarBackup,
    IconIdle,  // ImgIcone1, also MAINICON
    IconBusy,  // ImgIcone2
};

enum class ControlKind {
    GroupBox,  // a caption on its etched frame
    Panel,     // a raised outer and a lowered inner bevel
    CheckBox,
    TimeField,      // the masked edit of the time
    Label,          // sized to its text
    Image,          // a picture drawn over its background; the templates are hidden
    ProgressBar,    // the animated bar, filled from the left
    PictureButton,  // a picture left of the caption, centred together; a hand cursor
};

enum class FontId { Dialog, Button };

struct Font {
    const char* face;
    int pixels;  // character height (11 pixels: 8 points at 96 dots per inch)
};
inline constexpr Font kDialogFont{"MS Sans Serif", 11};
inline constexpr Font kButtonFont{"Verdana", 11};
inline constexpr Font FontOf(FontId font) {
    return font == FontId::Button ? kButtonFont : kDialogFont;
}

struct Rect {
    int left, top, width, height;  // a label's size is its text's: 0 x 0 here
};

struct ControlDescription {
    ControlId id;
    const char* name;
    ControlKind kind;
    std::optional<ControlId> parent;  // none: the window itself
    Rect rect;                        // in the parent's client area
    const char* text;
    int tab;  // its place in the tab order; -1: not reached by Tab
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    Picture picture = Picture::None;          // an image's or a button's
    Picture disabledPicture = Picture::None;  // a button's while it is disabled; none: greyed
    FontId font = FontId::Dialog;
};

inline constexpr int kClientWidth = 385;
inline constexpr int kClientHeight = 273;
inline constexpr const char* kWindowCaption = kApplicationTitle;
// The progress lines start as eleven blanks.
inline constexpr const char* kProgressLineAtStart = "           ";

// In the order of creation, which is the order of the tab stops.
inline constexpr ControlDescription kControls[] = {
    {ControlId::grpAgendamento,
     "grpAgendamento",
     ControlKind::GroupBox,
     {},
     {8, 8, 369, 41},
     "Agendamento",
     -1},
    {ControlId::chkDiario,
     "chkDiario",
     ControlKind::CheckBox,
     ControlId::grpAgendamento,
     {72, 18, 153, 17},
     "Executar Backup diário às :",
     0},
    {ControlId::edtHorario,
     "edtHorario",
     ControlKind::TimeField,
     ControlId::grpAgendamento,
     {225, 14, 41, 21},
     "",
     1},
    {ControlId::Label1,
     "Label1",
     ControlKind::Label,
     ControlId::grpAgendamento,
     {270, 19, 0, 0},
     "horas.",
     -1},
    {ControlId::pnlOpcoes, "pnlOpcoes", ControlKind::Panel, {}, {8, 56, 369, 97}, "", -1},
    {ControlId::imgConectarBanco,
     "imgConectarBanco",
     ControlKind::Image,
     ControlId::pnlOpcoes,
     {8, 10, 16, 16},
     "",
     -1},
    {ControlId::imgCopiarPastaTavix,
     "imgCopiarPastaTavix",
     ControlKind::Image,
     ControlId::pnlOpcoes,
     {8, 30, 16, 16},
     "",
     -1},
    {ControlId::imgCopiarBanco,
     "imgCopiarBanco",
     ControlKind::Image,
     ControlId::pnlOpcoes,
     {8, 50, 16, 16},
     "",
     -1},
    {ControlId::imgCopiarMusicas,
     "imgCopiarMusicas",
     ControlKind::Image,
     ControlId::pnlOpcoes,
     {8, 70, 16, 16},
     "",
     -1},
    // Step 1 always runs: its box is ticked for good.
    {ControlId::chkConectarBanco,
     "chkConectarBanco",
     ControlKind::CheckBox,
     ControlId::pnlOpcoes,
     {28, 10, 15, 17},
     "",
     -1,
     /*checked=*/true,
     /*enabled=*/false},
    {ControlId::Label2,
     "Label2",
     ControlKind::Label,
     ControlId::pnlOpcoes,
     {46, 12, 0, 0},
     "Conectar com o Banco de Dados",
     -1},
    {ControlId::chkCopiarPastaTavix,
     "chkCopiarPastaTavix",
     ControlKind::CheckBox,
     ControlId::pnlOpcoes,
     {28, 30, 200, 17},
     "Copiar a pasta Tavix",
     2,
     /*checked=*/true},
    {ControlId::chkCopiarBancoDados,
     "chkCopiarBancoDados",
     ControlKind::CheckBox,
     ControlId::pnlOpcoes,
     {28, 50, 200, 17},
     "Copiar o Banco de Dados",
     3,
     /*checked=*/true},
    {ControlId::chkCopiarMusicas,
     "chkCopiarMusicas",
     ControlKind::CheckBox,
     ControlId::pnlOpcoes,
     {28, 70, 200, 17},
     "Copiar as Músicas",
     4,
     /*checked=*/true},
    {ControlId::lblProgresso,
     "lblProgresso",
     ControlKind::Label,
     {},
     {8, 160, 0, 0},
     kProgressLineAtStart,
     -1},
    {ControlId::lblDestino,
     "lblDestino",
     ControlKind::Label,
     {},
     {8, 176, 0, 0},
     kProgressLineAtStart,
     -1},
    {ControlId::cxProgressBar1,
     "cxProgressBar1",
     ControlKind::ProgressBar,
     {},
     {7, 192, 371, 21},
     "",
     -1},
    {ControlId::btnIniciarBackup,
     "btnIniciarBackup",
     ControlKind::PictureButton,
     {},
     {7, 223, 122, 42},
     "Iniciar Backup",
     5,
     false,
     true,
     true,
     Picture::ButtonStart,
     Picture::ButtonStartDisabled,
     FontId::Button},
    {ControlId::btnOcultar,
     "btnOcultar",
     ControlKind::PictureButton,
     {},
     {132, 223, 122, 42},
     "Ocultar",
     6,
     false,
     true,
     true,
     Picture::ButtonOcultar,
     Picture::None,
     FontId::Button},
    {ControlId::btnFechar,
     "btnFechar",
     ControlKind::PictureButton,
     {},
     {256, 223, 122, 42},
     "Fechar",
     7,
     false,
     true,
     true,
     Picture::ButtonFechar,
     Picture::None,
     FontId::Button},
    // The hidden templates whose pictures the step images take over.
    {ControlId::imgPendende,
     "imgPendende",
     ControlKind::Image,
     {},
     {56, 170, 16, 16},
     "",
     -1,
     false,
     true,
     /*visible=*/false,
     Picture::StepPending},
    {ControlId::imgOk,
     "imgOk",
     ControlKind::Image,
     {},
     {72, 170, 16, 16},
     "",
     -1,
     false,
     true,
     false,
     Picture::StepOk},
    {ControlId::imgErro,
     "imgErro",
     ControlKind::Image,
     {},
     {88, 170, 16, 16},
     "",
     -1,
     false,
     true,
     false,
     Picture::StepError},
    {ControlId::imgProcessando,
     "imgProcessando",
     ControlKind::Image,
     {},
     {104, 170, 16, 16},
     "",
     -1,
     false,
     true,
     false,
     Picture::StepProcessing},
};

// The description of a control of the window.
constexpr const ControlDescription& Describe(ControlId id) {
    for (const ControlDescription& control : kControls)
        if (control.id == id) return control;
    throw "no such control";  // not constant: a use for a menu item does not compile
}

// The step images, steps 1 to 4.
inline constexpr ControlId kStepImages[] = {ControlId::imgConectarBanco,
                                            ControlId::imgCopiarPastaTavix,
                                            ControlId::imgCopiarBanco, ControlId::imgCopiarMusicas};
constexpr ControlId StepImage(int step) { return kStepImages[static_cast<std::size_t>(step - 1)]; }
// The hidden template whose picture a step image takes over to show `picture`.
constexpr ControlId StepTemplate(Picture picture) {
    switch (picture) {
        case Picture::StepProcessing:
            return ControlId::imgProcessando;
        case Picture::StepOk:
            return ControlId::imgOk;
        case Picture::StepError:
            return ControlId::imgErro;
        default:
            return ControlId::imgPendende;
    }
}

// The tray menu PopupTrayIcon, top to bottom. A separator has no id.
struct MenuItemDescription {
    std::optional<ControlId> id;
    const char* name;
    const char* caption;
    Picture picture;
};
inline constexpr MenuItemDescription kTrayMenu[] = {
    {ControlId::MenuIniciarBackup, "MenuIniciarBackup", "Iniciar Backup",
     Picture::TrayIniciarBackup},
    {{}, "N2", "", Picture::None},
    {ControlId::MenuOcultar_Restaurar, "MenuOcultar_Restaurar", "Ocultar", Picture::TrayOcultar},
    {{}, "N1", "", Picture::None},
    {ControlId::Fechar1, "Fechar1", "Fechar", Picture::TrayFechar},
};

// The window's timers.
enum class TimerId {
    TmrExecutaDiario,  // the daily run's clock, off at creation
    TimerPopup,        // a right press on the tray icon opens the menu at its tick
};
constexpr int TimerPeriodMs(TimerId timer) {
    return timer == TimerId::TmrExecutaDiario ? 30000 : 200;
}
