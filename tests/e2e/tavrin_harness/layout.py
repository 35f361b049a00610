"""The one layout oracle: where the bar's controls must be for a page, at any
DPI. Dialog units come from the bar's own template, mapped at the bar's DPI
(probe template); pixel numbers from bar/BarMetrics.h, scaled as the bar does."""

from typing import Iterable

from .bar import (
    ALL_PAGE_BUTTONS, CUSTOM_DEFAULT, CUSTOM_PREV_X, CUSTOM_START_X, FIXED_X, NEXT, PAGE_BUTTONS, PAGE_X, PREV,
    STRIP, TARGET, BarState,
)
from .common import TAVRIN_EXE
from .probe import Rect, probe_alone
from .product import (
    kBottomMargin, kDockBottomLeftX, kDockBottomRightX, kDockTopLeftX, kDockTopRightX, kNextGap, kRightMargin,
    kStripHeight,
)


def scaled(px: int, dpi: int) -> int:
    """MulDiv(px, dpi, 96): the nearest pixel, halves up."""
    return (px * dpi + 48) // 96


def dock_point(target: Rect, bar_width: int, bar_height: int, corner: int, dpi: int = 96) -> tuple[int, int]:
    """Where the bar's top-left corner docks at corner 0-3 (top left, top right,
    bottom left, bottom right) of the target's window rectangle."""
    offset = scaled((kDockTopLeftX, kDockTopRightX, kDockBottomLeftX, kDockBottomRightX)[corner], dpi)
    x = target.left + offset if corner in (0, 2) else target.right - bar_width - offset
    return x, target.top if corner < 2 else target.bottom - bar_height


class Template:
    """The bar's template mapped at the prefix's DPI now (a probe of its own: Wine reads the DPI
    at a start): map[x] pixels for x dialog units, size[id] (w, h), fit[id] (caption w, h, client w, h)."""

    def __init__(self, bar: str) -> None:
        xs = sorted({*FIXED_X.values(), CUSTOM_PREV_X, CUSTOM_START_X, *(x for p in PAGE_X.values() for x in p)})
        found: dict[str, dict[int, tuple[int, ...]]] = {"map": {}, "size": {}, "fit": {}}
        for line in probe_alone("template", TAVRIN_EXE, bar, *xs):
            kind, first, *rest = line.split()
            found[kind][int(first)] = tuple(map(int, rest))
        self.map = {x: px for x, (px,) in found["map"].items()}
        self.size, self.fit = found["size"], found["fit"]


def expected_layout(state: BarState, t: Template, page: int, strip: bool = True,
                    custom: Iterable[int] = CUSTOM_DEFAULT, dpi: int = 96) -> dict[str, object]:
    """Positions in the bar's client area, sizes, visibility, enabled states
    and the bar's size for a page; custom: the custom page's own buttons."""
    y = scaled(kStripHeight, dpi) if strip else 0
    exp: dict[str, object] = {}
    if page == 3:
        own = list(custom)
        shown = own + [PREV, NEXT]
        exp[f"x {PREV}"] = t.map[CUSTOM_PREV_X]
        x = t.map[CUSTOM_START_X]
        for i in own:
            exp[f"x {i}"] = x
            x += t.size[i][0]
        exp[f"x {NEXT}"] = x + scaled(kNextGap, dpi)
    else:
        shown = PAGE_BUTTONS[page] + [PREV, NEXT, TARGET]
        for i, x in [*FIXED_X.items(), *zip(PAGE_BUTTONS[page], PAGE_X[page])]:
            exp[f"x {i}"] = t.map[x]
    for i in shown:
        exp[f"y {i}"] = y
        exp[f"size {i}"] = t.size[i]
    for i in sorted(ALL_PAGE_BUTTONS | {PREV, NEXT, TARGET}):
        exp[f"visible {i}"] = i in shown
    exp[f"visible {STRIP}"] = strip
    exp[f"enabled {PREV}"] = page != 1
    exp[f"enabled {NEXT}"] = page != 4
    exp["bar width"] = state.child(NEXT).client.right + scaled(kRightMargin, dpi)
    exp["bar height"] = state.child(PREV).screen.bottom - state.rect.top + scaled(kBottomMargin, dpi)
    return exp


def actual_layout(state: BarState, expected: dict[str, object]) -> dict[str, object]:
    """The same keys as expected_layout(), read from the bar."""
    act: dict[str, object] = {"bar width": state.rect.width, "bar height": state.rect.height}
    for key in expected:
        what, _, ident = key.partition(" ")
        if what in ("x", "y", "size", "visible", "enabled"):
            c = state.child(int(ident))
            act[key] = {"x": c.client.left, "y": c.client.top, "size": (c.screen.width, c.screen.height),
                        "visible": c.visible, "enabled": c.enabled}[what]
    return act
