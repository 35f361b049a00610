"""What the bar's layout must be for a page, as a flat dict that
TavrinTestCase.assertLayout compares with what the bar shows."""

from __future__ import annotations

from typing import Iterable

from .bar import (
    ALL_PAGE_BUTTONS, BAR_BOTTOM_MARGIN, BAR_RIGHT_MARGIN, CUSTOM_DEFAULT, CUSTOM_NEXT_GAP, CUSTOM_PREV_X,
    CUSTOM_START_X, CUSTOM_TARGET_GAP, FIXED_X, NEXT, PAGE_BUTTONS, PAGE_X, PREV, STRIP, STRIP_HEIGHT, TARGET,
    BarState,
)
from .probe import dlu_x


def expected_layout(state: BarState, page: int, strip: bool = True,
                    custom: Iterable[int] = CUSTOM_DEFAULT, custom_target: bool = False) -> dict[str, object]:
    """What the bar's layout must be for a page: positions in the bar's client
    area, visibility, enabled states and the bar's size, as a flat dict to
    compare with actual_layout(). custom: the custom page's own buttons;
    custom_target: whether its list holds 的."""
    hwnd = state.hwnd
    y = STRIP_HEIGHT if strip else 0
    exp: dict[str, object] = {}
    if page == 3:
        own = list(custom)
        shown = own + [PREV, NEXT] + ([TARGET] if custom_target else [])
        exp[f"x {PREV}"] = dlu_x(hwnd, CUSTOM_PREV_X)[0]
        x = dlu_x(hwnd, CUSTOM_START_X)[0]
        for i in own:
            exp[f"x {i}"] = x
            x += state.child(i).screen.width
        if custom_target:
            x += CUSTOM_TARGET_GAP
            exp[f"x {TARGET}"] = x
            x += state.child(TARGET).screen.width + CUSTOM_NEXT_GAP
        else:
            x += CUSTOM_NEXT_GAP
        exp[f"x {NEXT}"] = x
    else:
        own = PAGE_BUTTONS[page]
        shown = own + [PREV, NEXT, TARGET]
        ids = [PREV, NEXT, TARGET] + own
        xs = dlu_x(hwnd, *([FIXED_X[i] for i in (PREV, NEXT, TARGET)] + PAGE_X[page]))
        for i, x in zip(ids, xs):
            exp[f"x {i}"] = x
    for i in shown:
        exp[f"y {i}"] = y
    for i in sorted(ALL_PAGE_BUTTONS | {PREV, NEXT, TARGET}):
        exp[f"visible {i}"] = i in shown
    exp[f"visible {STRIP}"] = strip
    exp[f"enabled {PREV}"] = page != 1
    exp[f"enabled {NEXT}"] = page != 4
    nxt = state.child(NEXT)
    exp["bar width"] = nxt.client.right + BAR_RIGHT_MARGIN
    exp["bar height"] = state.child(PREV).screen.bottom - state.rect.top + BAR_BOTTOM_MARGIN
    return exp


def actual_layout(state: BarState, expected: dict[str, object]) -> dict[str, object]:
    """The same keys as expected_layout(), read from the bar."""
    act: dict[str, object] = {}
    for key in expected:
        what, _, ident = key.partition(" ")
        if key == "bar width":
            act[key] = state.rect.width
        elif key == "bar height":
            act[key] = state.rect.height
        elif what == "x":
            act[key] = state.child(int(ident)).client.left
        elif what == "y":
            act[key] = state.child(int(ident)).client.top
        elif what == "visible":
            act[key] = state.visible(int(ident))
        elif what == "enabled":
            act[key] = state.enabled(int(ident))
    return act
