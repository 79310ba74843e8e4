// Unit constants of the driver. Values arrive in millimetres or inches (SetUnit's
// flag: 1 = inch); the driver works in millimetres. Which of the
// two forms of 25.4 a conversion uses is part of the program file's bytes:
// the record setters multiply by the single-precision constant, the program
// writer and SetMaterial in double precision.
#ifndef DRIVERWYR_UNITS_H_
#define DRIVERWYR_UNITS_H_

namespace driverwyr {

// The Unit flag that means inch; every other value means millimetre.
inline constexpr int kUnitInch = 1;

inline constexpr double kInchToMillimetres = 25.4;
inline constexpr float kInchToMillimetresF = 25.4f;
inline constexpr double kMillimetresToInches = 0.03937007874015748;

// Control types 2 and 7 show the hardness of an inch job multiplied by this
// factor; the program writer divides it out again (times its inverse).
inline constexpr double kInchHardnessFactor = 1.446;
inline constexpr double kInchHardnessInverse = 0.6915629322268326;

}  // namespace driverwyr

#endif  // DRIVERWYR_UNITS_H_
