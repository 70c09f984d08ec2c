// TGradient: a windowless control filled with a gradient of solid bands. Vertical between
// two colours given as red, green and blue bytes (top and bottom); when the top and bottom
// colours are equal, horizontal between LeftColor and RightColor (system colours allowed).
#pragma once

#include "toolkit/Controls.h"

class TGradient : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;

  int TopRed() const { return topRed_; }
  int BotRed() const { return botRed_; }
  int TopGreen() const { return topGreen_; }
  int BotGreen() const { return botGreen_; }
  int TopBlue() const { return topBlue_; }
  int BotBlue() const { return botBlue_; }
  int Gradations() const { return gradations_; }
  TColor LeftColor() const { return leftColor_; }
  TColor RightColor() const { return rightColor_; }
  // A colour byte keeps its low 8 bits. Every setter repaints the control.
  void SetTopRed(int v) { Set(topRed_, v & 0xFF); }
  void SetBotRed(int v) { Set(botRed_, v & 0xFF); }
  void SetTopGreen(int v) { Set(topGreen_, v & 0xFF); }
  void SetBotGreen(int v) { Set(botGreen_, v & 0xFF); }
  void SetTopBlue(int v) { Set(topBlue_, v & 0xFF); }
  void SetBotBlue(int v) { Set(botBlue_, v & 0xFF); }
  void SetGradations(int v) { Set(gradations_, v); }
  void SetLeftColor(TColor c) { Set(leftColor_, c); }
  void SetRightColor(TColor c) { Set(rightColor_, c); }

  bool Vertical() const {
    return topRed_ != botRed_ || topGreen_ != botGreen_ || topBlue_ != botBlue_;
  }
  void Paint(TCanvas& canvas) override;

 private:
  template <typename T>
  void Set(T& field, T value) {
    field = value;
    Invalidate();
  }
  int topRed_ = 0, botRed_ = 0, topGreen_ = 0, botGreen_ = 0, topBlue_ = 0, botBlue_ = 0;
  int gradations_ = 0;
  TColor leftColor_ = 0, rightColor_ = 0;
};
