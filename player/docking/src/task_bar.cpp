#include "docking/task_bar.h"

#include <cstdint>
#include <limits>

namespace docking {

namespace {

// Positions are computed wide, so no sum of a position, a size and MoveLength can overflow.
using Wide = std::int64_t;

bool FitsInt(Wide v) {
  return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

}  // namespace

// One persisted property: its name, its default, and the member it lives in (a number or a flag).
struct TaskBar::Persisted {
  const char* name;
  int defaultValue;
  int TaskBar::*number;
  bool TaskBar::*flag;
};

// The order in which the properties are loaded and saved.
const TaskBar::Persisted TaskBar::kPersisted[6] = {
    {"MoveLength", 500, &TaskBar::moveLength_, nullptr},
    {"GoLeft", 1, nullptr, &TaskBar::goLeft_},
    {"GoTop", 1, nullptr, &TaskBar::goTop_},
    {"GoRight", 1, nullptr, &TaskBar::goRight_},
    {"GoBottom", 1, nullptr, &TaskBar::goBottom_},
    {"OnTop", 0, nullptr, &TaskBar::onTop_},
};

TaskBar::TaskBar() {
  for (const Persisted& p : kPersisted) {
    if (p.number)
      this->*p.number = p.defaultValue;
    else
      this->*p.flag = p.defaultValue != 0;
  }
}

void TaskBar::Changed(const char* name) {
  if (onPropertyChanged) onPropertyChanged(name);
}

void TaskBar::MoveLength(int v) {
  moveLength_ = v;
  Changed("MoveLength");
}

void TaskBar::GoLeft(bool v) {
  goLeft_ = v;
  Changed("GoLeft");
}

void TaskBar::GoTop(bool v) {
  goTop_ = v;
  Changed("GoTop");
}

void TaskBar::GoRight(bool v) {
  goRight_ = v;
  Changed("GoRight");
}

void TaskBar::GoBottom(bool v) {
  goBottom_ = v;
  Changed("GoBottom");
}

void TaskBar::OnTop(bool v) {
  onTop_ = v;
  Changed("OnTop");
  ApplyOnTop();
}

void TaskBar::ApplyOnTop() {
  if (host_) host_->KeepAbove(onTop_);
}

void TaskBar::ReadProperties(const platform::PropertyStore& store, Host* parent, bool userMode) {
  if (!host_) host_ = parent;
  timerEnabled_ = userMode;
  for (const Persisted& p : kPersisted) {
    const int v = store.Read(p.name).value_or(p.defaultValue);
    if (p.number)
      this->*p.number = v;
    else
      this->*p.flag = v != 0;
  }
  ApplyOnTop();
}

void TaskBar::WriteProperties(platform::PropertyStore& store) const {
  for (const Persisted& p : kPersisted) {
    const int v = p.number ? this->*p.number : int(this->*p.flag);
    if (v != p.defaultValue) store.Write(p.name, v);
  }
}

void TaskBar::Resize(int, int) {
  width_ = kSize;
  height_ = kSize;
}

void TaskBar::Tick() {
  if (!host_) return;
  const std::optional<Host::Point> pointer = host_->PointerPosition();
  if (!pointer) return;
  const Wide cx = Wide(kTwipsPerPixel) * pointer->x;
  const Wide cy = Wide(kTwipsPerPixel) * pointer->y;
  if (!FitsInt(cx) || !FitsInt(cy)) return;

  const Wide S = host_->ScreenWidth();
  const Wide L = host_->Left(), T = host_->Top(), W = host_->Width(), H = host_->Height();
  // The band above and below the window counts as over it, so a window hidden at the top
  // comes back from the topmost rows of the screen.
  const bool over = L < cx && cx < L + W && T - 50 < cy && cy < T + H + 50;

  // Each test reads the window where the step before it left it.
  auto left = [&] { return Wide(host_->Left()); };
  auto top = [&] { return Wide(host_->Top()); };
  auto right = [&] { return left() + host_->Width(); };
  if (over) {
    if (left() <= 0) {
      dockSide_ = kLeft;
      if (goLeft_) ShowStep();
    }
    if (top() <= 0) {
      dockSide_ = kTop;
      if (goTop_) ShowStep();
    }
    if (right() > S + 10) {
      dockSide_ = kRight;
      if (goRight_) ShowStep();
    }
  } else {
    if (left() <= 100) {
      dockSide_ = kLeft;
      if (goLeft_) HideStep();
    }
    if (top() <= 200) {
      dockSide_ = kTop;
      if (goTop_) HideStep();
    }
    if (right() >= S - 10) {
      dockSide_ = kRight;
      if (goRight_) HideStep();
    }
  }
}

bool TaskBar::Resting() const {
  if (!host_) return true;
  const Wide L = host_->Left(), T = host_->Top(), W = host_->Width(), S = host_->ScreenWidth();
  // The reveal tests (L <= 0, T <= 0, L + W > S + 10) lie inside the hide tests.
  return L > 100 && T > 200 && L + W < S - 10;
}

void TaskBar::BringOut() {
  if (!host_) return;
  // One pixel past each resting line, so the host's rounding to its pixels keeps it at rest.
  constexpr Wide kMargin = kTwipsPerPixel;
  const Wide L = host_->Left(), T = host_->Top(), W = host_->Width(), S = host_->ScreenWidth();
  Wide left = L;
  if (goRight_ && left + W >= S - 10) left = S - 10 - W - kMargin;
  if (goLeft_ && left <= 100) left = 100 + kMargin;
  if (left != L && FitsInt(left)) host_->SetLeft(int(left));
  if (goTop_ && T <= 200) host_->SetTop(int(200 + kMargin));
}

void TaskBar::HideStep() {
  if (!host_ || host_->LeftButtonDown()) return;
  const Wide M = StepLength();
  const Wide L = host_->Left(), T = host_->Top(), W = host_->Width(), H = host_->Height();
  // A step whose result would not fit a position is left out.
  auto setLeft = [&](Wide v) {
    if (FitsInt(v)) host_->SetLeft(int(v));
  };
  auto setTop = [&](Wide v) {
    if (FitsInt(v)) host_->SetTop(int(v));
  };
  switch (dockSide_) {
    case kTop:
      if (T + H <= M + 50)
        setTop(50 - H);
      else if (T >= 50 - H)
        setTop(T - M);
      break;
    case kLeft:
      if (L + W <= M + 50)
        setLeft(50 - W);
      else if (L >= 50 - W)
        setLeft(L - M);
      break;
    case kRight: {
      const Wide S = host_->ScreenWidth();
      if (L > S - M)
        setLeft(S - 30);
      else
        setLeft(L + M);
      break;
    }
  }
}

void TaskBar::ShowStep() {
  if (!host_) return;
  const Wide M = StepLength();
  switch (dockSide_) {
    case kTop: {
      const Wide T = host_->Top();
      if (T >= -M - 50)
        host_->SetTop(10);
      else
        host_->SetTop(int(T + M));
      break;
    }
    case kLeft: {
      const Wide L = host_->Left();
      if (L >= -M - 150)
        host_->SetLeft(-150);
      else
        host_->SetLeft(int(L + M));
      break;
    }
    case kRight: {
      const Wide L = host_->Left(), W = host_->Width(), S = host_->ScreenWidth();
      const Wide rest = S - W + 150;
      if (L <= rest + M) {
        if (FitsInt(rest)) host_->SetLeft(int(rest));
      } else {
        host_->SetLeft(int(L - M));
      }
      break;
    }
  }
}

}  // namespace docking
