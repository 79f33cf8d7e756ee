#pragma once
// Plain enums of the core interface with the host's values.

namespace adsk::core {

enum DialogResults {
    DialogError = -1,
    DialogOK = 0,
    DialogCancel = 1,
    DialogNo = 2,
    DialogYes = 3
};

enum MessageBoxButtonTypes {
    OKButtonType = 0,
    OKCancelButtonType = 1,
    RetryCancelButtonType = 2,
    YesNoButtonType = 3,
    YesNoCancelButtonType = 4
};

enum MessageBoxIconTypes {
    NoIconIconType = 0,
    QuestionIconType = 1,
    InformationIconType = 2,
    WarningIconType = 3,
    CriticalIconType = 4
};

enum DefaultModelingOrientations { YUpModelingOrientation = 0, ZUpModelingOrientation = 1 };

enum CameraTypes {
    OrthographicCameraType = 0,
    PerspectiveCameraType = 1,
    PerspectiveWithOrthoFacesCameraType = 2
};

}  // namespace adsk::core
