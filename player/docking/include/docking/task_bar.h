#pragma once
// TaskBar: gives the top-level window it sits on an auto-hide behaviour at the left, top and
// right edges of the screen. When the window touches one of those edges and the pointer is not
// over it, every timer tick slides it MoveLength twips further out, until a thin strip is left
// (50 twips at the left and top, 30 at the right); when the pointer comes onto the strip, the
// ticks slide it back in. It can also keep its window above all other windows.
//
// This is the control without a window system: it drives its window through TaskBar::Host, so
// tests run every step with a fake. TaskBarWindow (task_bar_window.h) binds it to a real window.
// Everything runs on the user-interface thread.

#include <functional>
#include <optional>

#include "platform/property_store.h"
#include "platform/twips.h"

namespace docking {

// Positions and sizes are twips, the pointer arrives in pixels.
using platform::kTwipsPerPixel;

class TaskBar {
 public:
  // The window the control sits on, as the control sees it. Positions and sizes are twips
  // (whole numbers; the host rounds to its own units when it moves the window).
  class Host {
   public:
    virtual ~Host() = default;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Move the window; the size never changes.
    virtual void SetLeft(int twips) = 0;
    virtual void SetTop(int twips) = 0;
    // Width of the screen (the whole desktop, all monitors) in twips.
    virtual int ScreenWidth() const = 0;
    // The pointer in screen pixels, or nullopt when it cannot be read; that ends the tick.
    struct Point {
      int x = 0;
      int y = 0;
    };
    virtual std::optional<Point> PointerPosition() const = 0;
    // True while the left mouse button is held, also when the pointer is outside our windows.
    virtual bool LeftButtonDown() const = 0;
    // Keep the window above all other windows, or stop doing so.
    virtual void KeepAbove(bool above) = 0;
  };

  // Edges DockSide can name.
  static constexpr int kTop = 0;
  static constexpr int kLeft = 1;
  static constexpr int kRight = 3;

  // The distance used when MoveLength is zero or negative, which would otherwise freeze the
  // window at its edge or throw it off the screen.
  static constexpr int kFallbackMoveLength = 500;
  // The control's own size in twips, whatever the host gives it.
  static constexpr int kSize = 500;

  // A new instance: every property at its default, no host, timer off.
  TaskBar();

  // Twips the window moves per tick (default 500). Kept as written, even when not positive.
  int MoveLength() const { return moveLength_; }
  void MoveLength(int v);
  // Hide at the left, top and right edge (default true each).
  bool GoLeft() const { return goLeft_; }
  void GoLeft(bool v);
  bool GoTop() const { return goTop_; }
  void GoTop(bool v);
  bool GoRight() const { return goRight_; }
  void GoRight(bool v);
  // Stored and persisted only (default true); nothing depends on it.
  bool GoBottom() const { return goBottom_; }
  void GoBottom(bool v);
  // Keep the window above all others (default false). Applied to the host at once.
  bool OnTop() const { return onTop_; }
  void OnTop(bool v);

  // Told the persisted name of every property written from code, after the value is stored.
  std::function<void(const char* name)> onPropertyChanged;

  // The properties are loaded (each time the host window is created): the first call takes
  // `parent` as the host window (it must outlive the control, or be null), the timer runs when
  // `userMode` (inside the running program, not a designer), the six properties are read in
  // their fixed order (a missing one gives its default) and OnTop is applied.
  void ReadProperties(const platform::PropertyStore& store, Host* parent, bool userMode);
  // Stores every property that differs from its default, in the same order.
  void WriteProperties(platform::PropertyStore& store) const;
  // The host resized the control; it keeps kSize x kSize.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Whether the host should run the timer; set by ReadProperties.
  bool TimerEnabled() const { return timerEnabled_; }

  // One timer tick: reveal when the pointer is over the window, hide otherwise, at each edge
  // the window touches (a corner window takes two steps). Does nothing without a host.
  void Tick();
  // One step out of, or back onto, the screen at DockSide. A hide step waits while the left
  // button is held, so a window being dragged against an edge stays where the user puts it.
  void HideStep();
  void ShowStep();
  // True when no edge test of a tick can match where the window is now, whatever the pointer
  // does: ticks change nothing until the window moves or the screen changes.
  bool Resting() const;
  // Puts a window hidden at an edge (or on its way there) straight back onto the screen, at the
  // nearest place where it is Resting, so ticks leave it there until it is moved to an edge
  // again. Edges whose Go flag is off are left alone. Does nothing without a host.
  void BringOut();
  // The edge the last tick matched: kTop, kLeft or kRight (kTop before the first).
  int DockSide() const { return dockSide_; }

 private:
  struct Persisted;
  static const Persisted kPersisted[6];

  int StepLength() const { return moveLength_ > 0 ? moveLength_ : kFallbackMoveLength; }
  void Changed(const char* name);
  void ApplyOnTop();

  int moveLength_;
  bool goLeft_;
  bool goTop_;
  bool goRight_;
  bool goBottom_;
  bool onTop_;

  Host* host_ = nullptr;
  int dockSide_ = kTop;
  bool timerEnabled_ = false;
  int width_ = kSize;
  int height_ = kSize;
};

}  // namespace docking
