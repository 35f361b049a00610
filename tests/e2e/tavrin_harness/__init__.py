"""Shared pieces of Tavrin's end-to-end tests, one module per job:

  common    paths (from the environment CTest sets), time-outs, Shift-JIS text, wait_for
  session   the X display and Wine session; WineProcess runs a Windows program
  probe     the probe.exe client: windows, messages, menus, keys, clipboard
  registry  the bar's settings in the registry; preset()
  xinput    real X input (xdotool), screenshots and screen pixels
  programs  other programs next to the bar: foreign windows, target.exe, winctl.exe
  bar       TAVRIN.EXE started, watched and stopped; its control ids and page table
  layout    what the bar's layout must be for a page
  case      the base test cases (TavrinTestCase, BarTestCase) and main()
  menu      MenuTestCase: the bar's menu under Wine, with time-outs
  delivery  DeliveryTestCase: targets, message boxes, the clipboard

Every public name is available from the package itself
(``from tavrin_harness import Bar``).
"""

from .common import (
    REPO, BUILD_DIR, WINE_RUN, TAVRIN_EXE, PROBE_EXE, TARGET_EXE, WINCTL_EXE, CLIPTOOL_EXE, SCREENSHOT_DIR,
    SCALE, START_TIMEOUT, EXIT_TIMEOUT, CHANGE_TIMEOUT, QUIET_MS, PROBE_TIMEOUT, TICK, REACT_LIMIT, HOLD,
    sjis, hexarg, unhex, TimedOut, wait_for,
)
from .session import (
    ensure_display, WineProcess, _ensure_display,
)
from .probe import (
    ProbeError, run_helper, probe_run, probe, Rect, top_left, Child, TopWindow, top_windows, find_window,
    window_exists, window_rect, client_rect, children, child_of, window_text, set_window_text, is_topmost,
    window_styles, window_pid, foreground, set_foreground, post, send, close_dialog, wait_stable,
    map_dialog_rects, dlu_x, visible_menu, visible_menus, synth_keys, clipboard_text,
)
from .registry import (
    SETTINGS_ROOT, reg_clear, reg_set_sz, reg_set_dword, reg_set_raw, reg_get, reg_delete, reg_dump, dword,
    sz, preset,
)
from .xinput import (
    xdotool, PARK, mouse_position, mouse_move, click, click_child, drag, screenshot, screen_pixel,
)
from .programs import (
    HelperWindow, ForeignWindow, Target, winctl, move_window, is_iconic, z_places, focus_of, WinCtlWindow,
)
from .bar import (
    BAR_TITLE, OK_BUTTON, CANCEL_BUTTON, STRIP, TARGET, PREV, NEXT, PAGE_BUTTONS, PAGE_X, FIXED_X,
    ALL_PAGE_BUTTONS, CUSTOM_DEFAULT, CUSTOM_PREV_X, CUSTOM_START_X, CUSTOM_TARGET_GAP, CUSTOM_NEXT_GAP,
    STRIP_HEIGHT, BAR_RIGHT_MARGIN, BAR_BOTTOM_MARGIN, BarState, Bar, end_stray_bars, strip_hwnd, bar_pid,
    bare_spot,
)
from .layout import (
    expected_layout, actual_layout,
)
from .case import (
    TavrinTestCase, BarTestCase, main,
)
from .menu import (
    MENU_READY, MENU_TRIES, MOD_ALT, MOD_CONTROL, MOD_SHIFT, VK_W, ERROR_HOTKEY_ALREADY_REGISTERED,
    MenuTestCase,
)
from .delivery import (
    APP, BOX_CLASS, BOX_TEXT_ID, QUIET, FULL_NAME, FAMILY_NAME, GIVEN_NAME, ZIP, ADDRESS, PHONE, MAIL,
    HOMEPAGE, USER_STRINGS, LAUNCH, EDIT, NAME_EDIT, READING_EDIT, ADDRESS_EDIT, PHONE_EDIT, NOTES_EDIT,
    FORM_EDITS, FORM_POS, PLAIN_POS, EMPTY_TEXT, EMPTY_LAUNCH, CLIPBOARD_BUSY, launch_failed, winpath,
    ClipboardHolder, clipboard_owner, set_clipboard, DeliveryTestCase, message_boxes, box_text, close_box,
    close_message_boxes,
)
