"""The product's control ids and pixel numbers, never copied: CMake writes them from resources/resource.h
and bar/BarMetrics.h into $BUILD_DIR/tests/e2e/tavrin_product.py (tests/e2e/CMakeLists.txt)."""

import sys

from .common import BUILD_DIR

sys.path.insert(0, str(BUILD_DIR / "tests" / "e2e"))
from tavrin_product import *  # noqa: E402,F401,F403
