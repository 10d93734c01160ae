// ktfolio: print documents of rows of text cells. A host includes this header
// and links libktfolio (pkg-config ktfolio, or CMake's ktfolio::ktfolio).
#pragma once

#include <ktfolio/constants.h>
#include <ktfolio/errors.h>
#include <ktfolio/events.h>
#include <ktfolio/font.h>
#include <ktfolio/ktprint4.h>
#include <ktfolio/variant.h>
