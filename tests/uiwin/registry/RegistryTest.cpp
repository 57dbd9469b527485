// The first element of a run gets handle 1 (this executable creates no element before).
#include <gtest/gtest.h>

#include "uiwin/CUiStatic.h"
#include "uiwin/UiWnds.h"

TEST(RegistryFirstRun, FirstElementHasHandleOneAndHandlesCountUp) {
  HUIWND first;
  {
    CUiStatic a;
    first = a.GetHandle();
    EXPECT_EQ(1u, first);
    CUiStatic b;
    EXPECT_EQ(2u, b.GetHandle());
  }
  EXPECT_EQ(nullptr, UiWnds::GetWindow(1));
  CUiStatic c;
  EXPECT_EQ(3u, c.GetHandle());
}
