// The 2 kHz band-pass of the family 0001 code: a second-order Butterworth band-pass of 1,950 to
// 2,050 Hz at 44,100 Hz (gain 1 at 2 kHz), computed in double precision, keeping its last 4
// inputs and outputs so that it runs on across buffers.
#pragma once

namespace nvx::reader {

class CSwiperBandPass {
 public:
  static constexpr double b0 = 5.02414229943037e-05;
  static constexpr double b2 = -1.00482845988607e-04;
  static constexpr double b4 = 5.02414229943037e-05;
  static constexpr double a1 = -3.81946184925032;
  static constexpr double a2 = 5.62701536633424;
  static constexpr double a3 = -3.7811746503032;
  static constexpr double a4 = 0.980052508206337;

  void clear() {
    for (int i = 0; i < 4; ++i) x_[i] = y_[i] = 0;
  }
  // Starts with these past inputs (x[k-1] .. x[k-4]) and zero past outputs.
  void seedInputs(double x1, double x2, double x3, double x4) {
    clear();
    x_[0] = x1;
    x_[1] = x2;
    x_[2] = x3;
    x_[3] = x4;
  }
  double step(double in) {
    const double out = b0 * in + b2 * x_[1] + b4 * x_[3] - (a1 * y_[0] + a2 * y_[1] + a3 * y_[2] + a4 * y_[3]);
    x_[3] = x_[2];
    x_[2] = x_[1];
    x_[1] = x_[0];
    x_[0] = in;
    y_[3] = y_[2];
    y_[2] = y_[1];
    y_[1] = y_[0];
    y_[0] = out;
    return out;
  }

 private:
  double x_[4] = {0, 0, 0, 0};  // x[k-1] .. x[k-4]
  double y_[4] = {0, 0, 0, 0};  // y[k-1] .. y[k-4]
};

}  // namespace nvx::reader
