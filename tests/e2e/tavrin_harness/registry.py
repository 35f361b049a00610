"""The bar's settings in the registry, written and read through probe.exe
(the server's view, never user.reg)."""

from typing import Optional

from .common import sjis, unhex
from .probe import probe


def reg_clear() -> None:
    probe("regclear")


def reg_get(section: str, key: str) -> Optional[tuple[str, bytes]]:
    """(type name, data bytes) of a value, or None when it is missing."""
    line = probe("regget", section, key)[0]
    if line == "missing":
        return None
    reg_type, data = line.split()
    return reg_type, unhex(data)


def dword(value: int) -> tuple[str, bytes]:
    return "REG_DWORD", value.to_bytes(4, "little")


def sz(text: str) -> tuple[str, bytes]:
    return "REG_SZ", sjis(text) + b"\0"


def preset(settings: dict[str, dict[str, object]]) -> None:
    """Stores {"Setting": {"PageNo": 3, "Position": "400,20"}}: int as REG_DWORD, str as REG_SZ of its
    Shift-JIS bytes, bytes as REG_SZ of exactly those, (type, bytes) as any registry type."""
    for section, values in settings.items():
        for key, value in values.items():
            if isinstance(value, bool) or not isinstance(value, (int, str, bytes, tuple)):
                raise TypeError(f"cannot store {value!r}")
            if isinstance(value, int):
                probe("regsetdw", section, key, value)
            elif isinstance(value, tuple):
                probe("regsetraw", section, key, value[0], value[1].hex() or "-")
            else:
                probe("regsetsz", section, key, sjis(value).hex() or "-")
