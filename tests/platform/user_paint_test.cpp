// Painting and the standard scroll bars, observed through messages and pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/user/user.h"
#include "user_test_util.h"

namespace ktfolio::win {
namespace {

using testing::Count;
using testing::Last;
using testing::Log;
using testing::RecordingClass;

class UserPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = user::LiveWindowCount();
    user::PumpMessages();
    Log().clear();
  }
  void TearDown() override {
    if (top_) DestroyWindow(top_);
    EXPECT_EQ(user::LiveWindowCount(), base_);
  }
  HWND top_ = nullptr;
  int base_ = 0;
};

TEST_F(UserPaint, InvalidationBringsOnePaintWithTheUpdateRectangle) {
  top_ = CreateWindowEx(0, RecordingClass(), "", WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr, nullptr, nullptr);
  user::PumpMessages();
  EXPECT_EQ(Count(top_, WM_PAINT), 1);
  EXPECT_EQ(user::WindowPixel(top_, 50, 40), GetSysColor(COLOR_WINDOW)) << "erased with the class brush";
  RECT r{10, 10, 20, 30};
  InvalidateRect(top_, &r, TRUE);
  InvalidateRect(top_, &r, TRUE);
  RECT upd;
  EXPECT_TRUE(GetUpdateRect(top_, &upd, FALSE));
  EXPECT_EQ(upd.right, 20);
  user::PumpMessages();
  EXPECT_EQ(Count(top_, WM_PAINT), 2) << "two invalidations, one paint";
  EXPECT_FALSE(GetUpdateRect(top_, &upd, FALSE));

  HDC hdc = GetDC(top_);
  RECT box{0, 0, 5, 5};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(hdc, &box, green);
  ReleaseDC(top_, hdc);
  DeleteObject(green);
  EXPECT_EQ(user::WindowPixel(top_, 2, 2), RGB(0, 255, 0)) << "GetDC draws on the window's surface";
}

TEST_F(UserPaint, ScrollBarsTakeClientSpaceAndAnswerClicksAndDrags) {
  top_ = CreateWindowEx(0, RecordingClass(), "", WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, nullptr, nullptr);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 200;
  Log().clear();
  EXPECT_EQ(SetScrollInfo(top_, SB_VERT, &si, TRUE), 90) << "the position stops at max - page + 1";
  EXPECT_TRUE(GetWindowLongPtr(top_, GWL_STYLE) & WS_VSCROLL) << "a needed bar shows itself";
  RECT rc;
  GetClientRect(top_, &rc);
  EXPECT_EQ(rc.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
  ASSERT_NE(Last(top_, WM_SIZE), nullptr);
  EXPECT_EQ(LOWORD(Last(top_, WM_SIZE)->lParam), 183);

  SetScrollPos(top_, SB_VERT, 0, TRUE);
  Log().clear();
  // the down arrow sits at the bottom of the bar, right edge of the window
  user::InjectMouseButton(top_, 1, true, 190, 140);
  user::InjectMouseButton(top_, 1, false, 190, 140);
  user::PumpMessages();
  ASSERT_EQ(Count(top_, WM_VSCROLL), 2);
  auto first = std::find_if(Log().begin(), Log().end(), [](auto& s) { return s.msg == WM_VSCROLL; });
  EXPECT_EQ(LOWORD(first->wParam), SB_LINEDOWN);
  EXPECT_EQ(LOWORD(Last(top_, WM_VSCROLL)->wParam), SB_ENDSCROLL);
  EXPECT_EQ(Count(top_, WM_LBUTTONDOWN), 0) << "clicks on the bar are not client clicks";

  // drag the thumb (at the top of the track) to the bottom
  Log().clear();
  user::InjectMouseButton(top_, 1, true, 190, 20);
  user::InjectMouseMove(top_, 190, 145);
  user::PumpMessages();
  SCROLLINFO track;
  track.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(top_, SB_VERT, &track);
  EXPECT_EQ(track.nTrackPos, 90);
  EXPECT_EQ(track.nPos, 0) << "the program moves the position itself";
  user::InjectMouseButton(top_, 1, false, 190, 145);
  user::PumpMessages();
  std::vector<int> codes;
  for (auto& s : Log())
    if (s.msg == WM_VSCROLL) codes.push_back(LOWORD(s.wParam));
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.front(), SB_THUMBTRACK);
  EXPECT_EQ(codes[codes.size() - 2], SB_THUMBPOSITION);
  EXPECT_EQ(HIWORD(Last(top_, WM_VSCROLL)->wParam), 0);
  EXPECT_EQ(codes.back(), SB_ENDSCROLL);

  // disabled arrows do nothing; flat-bar calls act on the same bar
  EnableScrollBar(top_, SB_VERT, ESB_DISABLE_BOTH);
  Log().clear();
  user::InjectMouseButton(top_, 1, true, 190, 140);
  user::InjectMouseButton(top_, 1, false, 190, 140);
  user::PumpMessages();
  EXPECT_EQ(Count(top_, WM_VSCROLL), 0);
  EXPECT_TRUE(InitializeFlatSB(top_));
  EXPECT_TRUE(FlatSB_SetScrollProp(top_, WSB_PROP_VSTYLE, FSB_ENCARTA_MODE, TRUE));
  LONG_PTR mode = 0;
  FlatSB_GetScrollProp(top_, WSB_PROP_VSTYLE, &mode);
  EXPECT_EQ(mode, FSB_ENCARTA_MODE);
  FlatSB_SetScrollPos(top_, SB_VERT, 42, TRUE);
  EXPECT_EQ(GetScrollPos(top_, SB_VERT), 42);
  FlatSB_ShowScrollBar(top_, SB_VERT, FALSE);
  GetClientRect(top_, &rc);
  EXPECT_EQ(rc.right, 200);
}

}  // namespace
}  // namespace ktfolio::win
