// Golden-image comparison for drawing tests: a rendered bitmap is checked
// against tests/data/<relPath> under a per-channel tolerance. On a mismatch the
// rendering and a difference picture are written to the test output folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/gdi.h"

namespace ktfolio::testing {

// Compares `bmp` with the golden PNG `relPath` (relative to GOLDEN_DIR, for
// example "platform/edges.png"). A pixel differs when any channel is off by
// more than `tolerance`; the match fails when more than `maxDiffPixels` differ,
// or when the sizes disagree or the golden is missing. On failure writes
// <name>.out.png and <name>.diff.png (differences red over a faded copy) into
// ::testing::TempDir() and names them, with the count and bounding box of the
// differing pixels, in the message. With KTFOLIO_UPDATE_GOLDEN=1 in the
// environment the golden is (re)written from `bmp` and the match succeeds.
::testing::AssertionResult MatchesGolden(win::HBITMAP bmp, const std::string& relPath, int tolerance = 8,
                                         int maxDiffPixels = 0);

// A width x height bitmap filled with `color`, as a test's picture; the caller
// deletes it (or hands it to a Picture, which does).
win::HBITMAP SolidBitmap(int width, int height, win::COLORREF color);

}  // namespace ktfolio::testing
