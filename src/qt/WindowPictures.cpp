#include "qt/WindowPictures.h"

#include "resources/Pictures.h"

QString PicturePath(Picture picture) {
    switch (picture) {
        case Picture::None:
            break;
        case Picture::StepPending:
            return pictures::kStepPending;
        case Picture::StepProcessing:
            return pictures::kStepProcessing;
        case Picture::StepOk:
            return pictures::kStepOk;
        case Picture::StepError:
            return pictures::kStepError;
        case Picture::ButtonStart:
            return pictures::kButtonStart;
        case Picture::ButtonStartDisabled:
            return pictures::kButtonStartDisabled;
        case Picture::ButtonOcultar:
            return pictures::kButtonOcultar;
        case Picture::ButtonFechar:
            return pictures::kButtonFechar;
        case Picture::TrayFechar:
            return pictures::kTrayFechar;
        case Picture::TrayOcultar:
            return pictures::kTrayOcultar;
        case Picture::TrayRestaurar:
            return pictures::kTrayRestaurar;
        case Picture::TrayIniciarBackup:
            return pictures::kTrayIniciarBackup;
        case Picture::IconIdle:
            return pictures::kIconIdle;
        case Picture::IconBusy:
            return pictures::kIconBusy;
    }
    return {};
}

QPixmap LoadPicture(Picture picture) {
    return picture == Picture::None ? QPixmap() : pictures::Load(PicturePath(picture));
}

QIcon LoadIcon(Picture picture) { return pictures::Icon(PicturePath(picture)); }
