#pragma once
// TFrmPrincipal described once, without a toolkit: its controls with their names, kinds,
// parents, places, texts, states at creation, tab order, fonts and pictures; the window's size
// and caption; its timers; the tray menu's items. The Qt and the Win32 window build themselves
// from it, and the window's logic names controls by their ids.

#include <array>
#include <cstddef>
#include <optional>

#include "common/Application.h"
#include "common/Steps.h"

// Each control's and tray menu item's id: a stable number, which the Win32 window takes as the
// control's id too (win32/controls/ResourceIds.h), so that a control added never renumbers
// another. The controls of the steps are numbered by their step (StepImage and the others below).
enum class ControlId : int {
    grpAgendamento = 1001,
    chkDiario = 1002,
    edtHorario = 1003,
    Label1 = 1004,
    pnlOpcoes = 1005,
    lblProgresso = 1015,
    lblDestino = 1016,
    cxProgressBar1 = 1017,
    btnIniciarBackup = 1018,
    btnOcultar = 1019,
    btnFechar = 1020,
    imgPendende = 1021,
    imgOk = 1022,
    imgErro = 1023,
    imgProcessando = 1024,
    // The items of the tray menu PopupTrayIcon.
    MenuIniciarBackup = 2001,
    MenuOcultar_Restaurar = 2002,
    Fechar1 = 2003,
};

// The controls of step `step` (Steps.h): its picture, its option box, and the label that shows
// its caption beside a box that cannot be cleared.
constexpr ControlId StepImage(int step) { return static_cast<ControlId>(1100 + step); }
constexpr ControlId StepBox(int step) { return static_cast<ControlId>(1200 + step); }
constexpr ControlId StepLabel(int step) { return static_cast<ControlId>(1300 + step); }

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

// The panel of the steps holds a row of 20 pixels for each; what lies below it moves with it.
inline constexpr int kStepRowHeight = 20;
inline constexpr int kPanelTop = 56;
inline constexpr int kPanelHeight = 17 + kStepRowHeight * kStepCount;
inline constexpr int kBelowPanel = kPanelTop + kPanelHeight;  // 153 with four steps

inline constexpr int kClientWidth = 385;
inline constexpr int kClientHeight = kBelowPanel + 120;
inline constexpr const char* kWindowCaption = kApplicationTitle;
// The progress lines start as eleven blanks.
inline constexpr const char* kProgressLineAtStart = "           ";

namespace layout {

constexpr int CountSteps(bool (*which)(const StepDescription&)) {
    int count = 0;
    for (const StepDescription& step : kSteps) count += which(step) ? 1 : 0;
    return count;
}
inline constexpr int kCaptionLabels =
    CountSteps([](const StepDescription& s) { return s.label != nullptr; });
inline constexpr int kOptionalSteps =
    CountSteps([](const StepDescription& s) { return s.optional; });
// Tab stops: the schedule's two controls, the option boxes that can be cleared, the buttons.
inline constexpr int kFirstButtonTab = 2 + kOptionalSteps;

// In the order of creation, which is the order of the tab stops.
constexpr auto Controls() {
    std::array<ControlDescription, 5 + 2 * kStepCount + kCaptionLabels + 10> all{};
    std::size_t at = 0;
    all[at++] = {ControlId::grpAgendamento,
                 "grpAgendamento",
                 ControlKind::GroupBox,
                 {},
                 {8, 8, 369, 41},
                 "Agendamento",
                 -1};
    all[at++] = {ControlId::chkDiario,
                 "chkDiario",
                 ControlKind::CheckBox,
                 ControlId::grpAgendamento,
                 {72, 18, 153, 17},
                 "Executar Backup diário às :",
                 0};
    all[at++] = {ControlId::edtHorario,
                 "edtHorario",
                 ControlKind::TimeField,
                 ControlId::grpAgendamento,
                 {225, 14, 41, 21},
                 "",
                 1};
    all[at++] = {
        ControlId::Label1, "Label1", ControlKind::Label, ControlId::grpAgendamento, {270, 19, 0, 0},
        "horas.",          -1};
    all[at++] = {ControlId::pnlOpcoes,
                 "pnlOpcoes",
                 ControlKind::Panel,
                 {},
                 {8, kPanelTop, 369, kPanelHeight},
                 "",
                 -1};
    for (int step = 1; step <= kStepCount; ++step)
        all[at++] = {StepImage(step),
                     Step(step).image,
                     ControlKind::Image,
                     ControlId::pnlOpcoes,
                     {8, 10 + kStepRowHeight * (step - 1), 16, 16},
                     "",
                     -1};
    // A box that cannot be cleared is ticked for good (its step always does its work), and a
    // label beside it shows the caption.
    int tab = 2;
    for (int step = 1; step <= kStepCount; ++step) {
        const StepDescription& s = Step(step);
        const int top = 10 + kStepRowHeight * (step - 1);
        if (s.optional) {
            all[at++] = {StepBox(step),
                         s.box,
                         ControlKind::CheckBox,
                         ControlId::pnlOpcoes,
                         {28, top, 200, 17},
                         s.caption,
                         tab++,
                         /*checked=*/true};
        } else {
            all[at++] = {StepBox(step),
                         s.box,
                         ControlKind::CheckBox,
                         ControlId::pnlOpcoes,
                         {28, top, 15, 17},
                         "",
                         -1,
                         /*checked=*/true,
                         /*enabled=*/false};
        }
        if (s.label)
            all[at++] = {StepLabel(step),
                         s.label,
                         ControlKind::Label,
                         ControlId::pnlOpcoes,
                         {46, top + 2, 0, 0},
                         s.caption,
                         -1};
    }
    all[at++] = {ControlId::lblProgresso,
                 "lblProgresso",
                 ControlKind::Label,
                 {},
                 {8, kBelowPanel + 7, 0, 0},
                 kProgressLineAtStart,
                 -1};
    all[at++] = {ControlId::lblDestino,
                 "lblDestino",
                 ControlKind::Label,
                 {},
                 {8, kBelowPanel + 23, 0, 0},
                 kProgressLineAtStart,
                 -1};
    all[at++] = {ControlId::cxProgressBar1,
                 "cxProgressBar1",
                 ControlKind::ProgressBar,
                 {},
                 {7, kBelowPanel + 39, 371, 21},
                 "",
                 -1};
    all[at++] = {ControlId::btnIniciarBackup,
                 "btnIniciarBackup",
                 ControlKind::PictureButton,
                 {},
                 {7, kBelowPanel + 70, 122, 42},
                 "Iniciar Backup",
                 kFirstButtonTab,
                 false,
                 true,
                 true,
                 Picture::ButtonStart,
                 Picture::ButtonStartDisabled,
                 FontId::Button};
    all[at++] = {ControlId::btnOcultar,
                 "btnOcultar",
                 ControlKind::PictureButton,
                 {},
                 {132, kBelowPanel + 70, 122, 42},
                 "Ocultar",
                 kFirstButtonTab + 1,
                 false,
                 true,
                 true,
                 Picture::ButtonOcultar,
                 Picture::None,
                 FontId::Button};
    all[at++] = {ControlId::btnFechar,
                 "btnFechar",
                 ControlKind::PictureButton,
                 {},
                 {256, kBelowPanel + 70, 122, 42},
                 "Fechar",
                 kFirstButtonTab + 2,
                 false,
                 true,
                 true,
                 Picture::ButtonFechar,
                 Picture::None,
                 FontId::Button};
    // The hidden templates whose pictures the step images take over.
    all[at++] = {ControlId::imgPendende,
                 "imgPendende",
                 ControlKind::Image,
                 {},
                 {56, kBelowPanel + 17, 16, 16},
                 "",
                 -1,
                 false,
                 true,
                 /*visible=*/false,
                 Picture::StepPending};
    all[at++] = {ControlId::imgOk,
                 "imgOk",
                 ControlKind::Image,
                 {},
                 {72, kBelowPanel + 17, 16, 16},
                 "",
                 -1,
                 false,
                 true,
                 false,
                 Picture::StepOk};
    all[at++] = {ControlId::imgErro,
                 "imgErro",
                 ControlKind::Image,
                 {},
                 {88, kBelowPanel + 17, 16, 16},
                 "",
                 -1,
                 false,
                 true,
                 false,
                 Picture::StepError};
    all[at++] = {ControlId::imgProcessando,
                 "imgProcessando",
                 ControlKind::Image,
                 {},
                 {104, kBelowPanel + 17, 16, 16},
                 "",
                 -1,
                 false,
                 true,
                 false,
                 Picture::StepProcessing};
    return all;
}

}  // namespace layout

inline constexpr auto kControls = layout::Controls();

// The description of a control of the window.
constexpr const ControlDescription& Describe(ControlId id) {
    for (const ControlDescription& control : kControls)
        if (control.id == id) return control;
    throw "no such control";  // not constant: a use for a menu item does not compile
}

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
