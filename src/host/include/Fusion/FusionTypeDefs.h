#pragma once
// Plain enums of the design interface with the host's values.

namespace adsk::fusion {

enum CalculationAccuracy {
    LowCalculationAccuracy = 0,
    MediumCalculationAccuracy = 1,
    HighCalculationAccuracy = 2,
    VeryHighCalculationAccuracy = 3
};

}  // namespace adsk::fusion
