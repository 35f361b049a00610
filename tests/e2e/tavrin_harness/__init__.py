"""Shared pieces of Tavrin's end-to-end tests, one module per job:

  common    paths (from the environment CTest sets), time-outs, Shift-JIS text, wait_for
  product   the product's ids and pixel numbers, generated from its own headers
  session   WineProcess runs a Windows program in the Wine session
  probe     the probe.exe client: windows, messages, menus, keys, clipboard
  registry  the bar's settings in the registry; preset()
  xinput    real X input (xdotool), screenshots and screen pixels
  programs  other programs next to the bar: foreign windows, target.exe, hot keys
  bar       TAVRIN.EXE started, watched and stopped; the names of its controls and its page table
  layout    the one layout oracle: what the bar's layout must be for a page, at any DPI
  case      the base test cases (TavrinTestCase, MenuTestCase for the bar's menu) and main()
  delivery  DeliveryTestCase: targets, message boxes, the clipboard

Every public name of these is available from the package itself.
"""

from .common import *  # noqa: F401,F403
from .product import *  # noqa: F401,F403
from .session import *  # noqa: F401,F403
from .probe import *  # noqa: F401,F403
from .registry import *  # noqa: F401,F403
from .xinput import *  # noqa: F401,F403
from .programs import *  # noqa: F401,F403
from .bar import *  # noqa: F401,F403
from .layout import *  # noqa: F401,F403
from .case import *  # noqa: F401,F403
from .delivery import *  # noqa: F401,F403
