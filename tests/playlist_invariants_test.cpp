// Random sequences of list operations and input keep the control's invariants: numbering
// without gaps, the total time, every row's data together, the playing mark on its song, a
// valid selection, and looks that follow the marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "playlist_test_support.h"

namespace {

using namespace playlist_test;
using playlist::kCtrlMask;
using playlist::kKeyDelete;
using playlist::kKeyDown;
using playlist::kKeyReturn;
using playlist::kKeyUp;
using playlist::kLeftButton;
using playlist::kRightButton;
using playlist::kShiftMask;
using playlist::stdSS;

int SecondsOf(int id) { return (id * 37) % 400; }

// Every third title is too long for the row, so that the "..." marker comes and goes.
std::string TitleOf(int id) {
  return "Song " + std::to_string(id) + (id % 3 == 0 ? " with a title much too long" : "");
}

std::string Id(const char* prefix, int id) { return prefix + std::to_string(id); }

class Driver {
 public:
  explicit Driver(unsigned seed) : rng_(seed) {
    c_.ControlResized(220, 120);
    player::DressPlaylist(c_, PlayerSkin());
  }

  void Step() {
    const int n = c_.ListCount;
    playingBefore_ = c_.Playing > 0 ? c_.row(c_.Playing).FileName : std::string();
    playMayChange_ = false;
    removed_.clear();
    lastOp_ = Pick(0, 13);
    switch (lastOp_) {
      case 0:
      case 1:
      case 2: {
        const int id = ++nextId_;
        EXPECT_TRUE(c_.AddItem(Id("id ", id), Id("x ", id), TitleOf(id), Id("t ", id), SecondsOf(id)));
        songs_[Id("id ", id)] = id;
        break;
      }
      case 3: {
        const int index = Pick(-1, n + 1);
        if (index >= 1 && index <= n) removed_.push_back(c_.row(index).FileName);
        // Below row 1 nothing happens; past the last row the call fails.
        EXPECT_EQ(c_.Remove(static_cast<std::int16_t>(index)).ok(), index <= n);
        break;
      }
      case 4:
        if (n > 0) {
          EXPECT_TRUE(c_.SelectIndex(static_cast<std::int16_t>(Pick(1, n))));
        }
        break;
      case 5:
      case 6:
        if (n > 0) {
          const int modifier = Pick(0, 1) ? kShiftMask : kCtrlMask;
          c_.KeyDown(modifier == kShiftMask ? 16 : 17, modifier);
          c_.RowMouseDown(static_cast<std::int16_t>(Pick(1, n)), kLeftButton);
          c_.KeyUp();
        }
        break;
      case 7:
        if (n > 0) {
          playMayChange_ = true;
          c_.Play(static_cast<std::int16_t>(Pick(1, n)));
        }
        break;
      case 8:
        if (n > 0) {
          const int from = Pick(1, n);
          const int y = Pick(-3 * 14, (n + 2) * 14) - (from - 1) * 14;
          c_.RowMouseDown(static_cast<std::int16_t>(from), kLeftButton);
          c_.RowMouseMove(static_cast<std::int16_t>(from), kLeftButton, y);
          c_.RowMouseUp(static_cast<std::int16_t>(from), kLeftButton, y);
        }
        break;
      case 9:
        // Delete removes the whole multi-selection, or else only the primary row; either way
        // only rows that carry the mark (a Ctrl-click may have taken it off the primary row).
        for (int i = 1; i <= n; ++i) {
          if (c_.row(i).lblIzbor.tag == "I" && (c_.ZatMS || i == c_.Selected))
            removed_.push_back(c_.row(i).FileName);
        }
        c_.KeyDown(kKeyDelete, 0);
        break;
      case 10:
        playMayChange_ = true;
        c_.KeyDown(Pick(0, 2) == 0 ? kKeyReturn : Pick(0, 1) ? kKeyUp : kKeyDown, 0);
        break;
      case 11:
        if (n > 0) {
          const int i = Pick(1, n);
          const int id = songs_.at(c_.row(i).FileName);
          EXPECT_TRUE(c_.RefreshTime(SecondsOf(id), c_.row(i).lbls.text, static_cast<std::int16_t>(i)));
        }
        break;
      case 12:
        if (n > 0) c_.RowMouseDown(static_cast<std::int16_t>(Pick(1, n)), kRightButton);
        break;
      case 13:
        if (Pick(0, 20) == 0) {
          for (int i = 1; i <= n; ++i) removed_.push_back(c_.row(i).FileName);
          c_.Clear();
        }
        break;
    }
    for (const std::string& f : removed_) songs_.erase(f);
  }

  void Check(int step) {
    SCOPED_TRACE(step);
    SCOPED_TRACE(lastOp_);
    const playlist::Elements& e = c_.elements();
    ASSERT_EQ(c_.ListCount, static_cast<int>(e.rows.size()) - 1);
    ASSERT_EQ(c_.ListCount, static_cast<int>(songs_.size()));
    std::int64_t total = 0;
    for (int i = 1; i <= c_.ListCount; ++i) {
      const playlist::Row& r = c_.row(i);
      std::string number = std::to_string(i) + ". ";
      if (i < 10) number.insert(0, 1, '0');
      ASSERT_EQ(r.lblevilka.text, number);
      ASSERT_EQ(songs_.count(r.FileName), 1u) << r.FileName;
      const int id = songs_.at(r.FileName);
      ASSERT_EQ(r.lblIme.text, TitleOf(id));
      ASSERT_EQ(r.lblIme.box.left, r.lblevilka.box.right()) << i;
      ASSERT_EQ(r.FileName2, Id("x ", id));
      ASSERT_EQ(r.seconds, SecondsOf(id));
      total += r.seconds;
      const bool marked = r.lblIzbor.tag == "I";
      ASSERT_TRUE(marked || r.lblIzbor.tag.empty());
      ASSERT_EQ(r.shpOzadje.visible, marked) << i;
      ASSERT_EQ(r.shps.fillColor, marked ? e.shpsA.fillColor : c_.row(0).shps.fillColor) << i;
      const playlist::LabelStyle& wanted =
          i == c_.Playing ? e.lblImeB.style : marked ? e.lblImeA.style : c_.row(0).lblIme.style;
      ASSERT_EQ(r.lblIme.style, wanted) << i;
      if (r.ta.visible) {
        ASSERT_TRUE(marked && i < c_.ListCount && c_.row(i + 1).lblIzbor.tag == "I") << i;
      }
      ASSERT_EQ(r.lblSpot.visible, r.lbls.box.left - r.lblIme.box.left < r.lblIme.box.width) << i;
    }
    ASSERT_EQ(c_.SkupensSekund, total);
    ASSERT_GE(c_.Selected, 0);
    ASSERT_LE(c_.Selected, c_.ListCount);
    ASSERT_GE(c_.Playing, 0);
    ASSERT_LE(c_.Playing, c_.ListCount);
    if (!playMayChange_ && !playingBefore_.empty()) {
      if (std::find(removed_.begin(), removed_.end(), playingBefore_) != removed_.end()) {
        ASSERT_EQ(c_.Playing, 0);
      } else {
        ASSERT_GT(c_.Playing, 0);
        ASSERT_EQ(c_.row(c_.Playing).FileName, playingBefore_);
      }
    }
    ASSERT_EQ(e.shpsB.visible, c_.Playing > 0);
    if (c_.Playing > 0) {
      ASSERT_EQ(e.shpsB.box.top, (c_.Playing - 1) * 14);
    }
    ASSERT_FALSE(c_.NePredvajaj);
    ASSERT_FALSE(e.picPremik.visible);
    if (c_.ListCount > 0) {
      ASSERT_EQ(e.PicOzadje.box.height, 14 * c_.ListCount + 1);
      ASSERT_LE(e.PicOzadje.box.top, 0);
      ASSERT_GE(e.PicOzadje.box.top, std::min(0, e.controlHeight - e.PicOzadje.box.height));
    }
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  stdSS c_{kFixedWidths};
  std::mt19937 rng_;
  std::map<std::string, int> songs_;
  std::vector<std::string> removed_;
  std::string playingBefore_;
  bool playMayChange_ = false;
  int nextId_ = 0;
  int lastOp_ = 0;
};

TEST(PlaylistInvariants, RandomOperationSequencesKeepTheListConsistent) {
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    Driver driver(seed);
    for (int step = 0; step < 400; ++step) {
      driver.Step();
      driver.Check(step);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
