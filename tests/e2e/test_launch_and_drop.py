"""The launch buttons (the program they start is cliptool.exe without
arguments: a window of class TavrinTestLaunched) and files dropped on the bar
(the first path goes to the clipboard as plain text, nothing is pasted)."""

import shutil
import tempfile
from pathlib import Path
from typing import Callable

from tavrin_harness import *  # noqa: F403


class LaunchButtons(DeliveryTestCase):
    def setUp(self) -> None:
        super().setUp()
        self.tmp = Path(tempfile.mkdtemp(prefix="tavrin-launch-"))
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)
        self.addCleanup(self.close_new_windows("TavrinTestLaunched"))

    def close_new_windows(self, cls: str) -> Callable[[], None]:
        """Clean-up: closes, then ends, the windows of class cls that the test opened."""
        known = {w.hwnd for w in top_windows() if w.cls == cls}

        def stop() -> None:
            for w in top_windows():
                if w.cls == cls and w.hwnd not in known:
                    end_window(w)
        return stop

    def wait_window(self, cls: str, known: set[str], timeout: float = START_TIMEOUT):
        return wait_for(lambda: [w for w in top_windows() if w.cls == cls and w.visible and w.hwnd not in known],
                        timeout, 0.2, f"a window of class {cls}")[0]

    def test_stored_program_starts(self):
        bar = self.start_bar({"AppStart": {"AppName1": winpath(CLIPTOOL_EXE)}, "Setting": {"PageNo": 4}})
        bar.wait_page(4)
        self.click(bar, LAUNCH[0])
        w = self.wait_window("TavrinTestLaunched", set())
        self.assertEqual(w.title, b"cliptool started")
        self.assert_no_box()
        post(w.hwnd, "WM_CLOSE")
        self.assertEqual(probe_run("waitdead", w.hwnd, int(10000 * SCALE))[0], 0, "the started program did not end")

    def test_page_4_reached_with_next_and_tenth_entry_starts(self):
        bar = self.start_bar({"AppStart": {"AppName10": winpath(CLIPTOOL_EXE)}})
        for page in (2, 3, 4):
            self.click(bar, NEXT)
            bar.wait_page(page)
        self.click(bar, LAUNCH[9])
        self.wait_window("TavrinTestLaunched", set())
        self.assert_no_box()

    def test_document_opens_with_its_program(self):
        document = self.tmp / "tavrin_memo.ini"
        document.write_bytes(b"[memo]\r\nkey=value\r\n")
        self.addCleanup(self.close_new_windows("Notepad"))
        known = {w.hwnd for w in top_windows()}
        bar = self.start_bar({"AppStart": {"AppName2": winpath(document)}, "Setting": {"PageNo": 4}})
        self.click(bar, LAUNCH[1])
        w = self.wait_window("Notepad", known)
        # Notepad shows its window first and names the document once it is read.
        wait_for(lambda: b"tavrin_memo.ini" in window_text(w.hwnd), CHANGE_TIMEOUT, 0.2,
                 "the notepad window to name the document")
        self.assert_no_box()

    def test_program_with_arguments_in_one_string_is_refused(self):
        whole = winpath(CLIPTOOL_EXE) + " --x"
        bar = self.start_bar({"AppStart": {"AppName3": whole}, "Setting": {"PageNo": 4}})
        self.click(bar, LAUNCH[2])
        self.assert_box_and_close(launch_failed(sjis(whole)))
        self.assertEqual([w for w in top_windows() if w.cls == "TavrinTestLaunched"], [], "the program started")

    def test_missing_program_with_arguments_names_the_whole_string(self):
        whole = 'Z:\\tmp\\存在しない フォルダ\\表示ソフト.exe /x "引数"'
        bar = self.start_bar({"AppStart": {"AppName5": whole}, "Setting": {"PageNo": 4}})
        self.click(bar, LAUNCH[4])
        self.assert_box_and_close(launch_failed(sjis(whole)))

    def test_empty_entry_shows_the_notice(self):
        bar = self.start_bar({"Setting": {"PageNo": 4}})
        self.click(bar, LAUNCH[3])
        self.assert_box_and_close(EMPTY_LAUNCH)

    def test_launch_leaves_clipboard_and_target_alone(self):
        bar, target = self.start_on("起動中の代筆先", "--pos", *PLAIN_POS,
                                  settings={"AppStart": {"AppName1": winpath(CLIPTOOL_EXE)}, "Setting": {"PageNo": 4}})
        before = set_clipboard("起動前")
        self.click(bar, LAUNCH[0])
        self.wait_window("TavrinTestLaunched", set())
        self.assert_stays(clipboard_text, before, "the clipboard after a launch")
        self.assertEqual(target.edit_text(EDIT), b"")


class DroppedFiles(DeliveryTestCase):
    def drop(self, bar: Bar, *paths: bytes | str) -> None:
        probe("dropfiles", bar.hwnd, 10, 10, *(hexarg(p) for p in paths))

    def test_first_of_three_files_goes_to_the_clipboard_as_plain_text(self):
        bar = self.start_bar()
        set_clipboard("ドロップ前")
        first = "C:\\資料\\表計算\\ソース一覧.txt"
        self.drop(bar, first, "C:\\second file.txt", "D:\\三番目.doc")
        wait_for(lambda: clipboard_text() == sjis(first), CHANGE_TIMEOUT, 0.1, "the first path on the clipboard")
        self.assertEqual(clipboard_owner(), bar.hwnd, "the clipboard owner is not the bar")
        self.assert_japanese_text_first()
        self.assert_stays(clipboard_text, sjis(first), "the clipboard after the drop", 1.0)
        self.assert_no_box()

    def test_path_of_300_bytes_arrives_whole(self):
        bar = self.start_bar()
        set_clipboard("ドロップ前")
        folder = "C:\\" + "\\".join(["長いフォルダ名の階層"] * 10)
        path = sjis(folder + "\\")
        path += b"x" * (300 - len(path) - 4) + b".txt"
        self.assertEqual(len(path), 300)
        self.drop(bar, path, b"C:\\other.txt")
        try:
            wait_for(lambda: clipboard_text() == path, CHANGE_TIMEOUT, 0.1, "the whole 300-byte path on the clipboard")
        except TimedOut:
            got = clipboard_text()
            self.assertEqual((len(got or b""), got), (300, path), "the path on the clipboard")
            raise

    def test_drop_does_not_paste_into_the_target(self):
        bar, target = self.start_on("ドロップ中の代筆先")
        path = "C:\\temp\\落とした.txt"
        self.drop(bar, path)
        wait_for(lambda: clipboard_text() == sjis(path), CHANGE_TIMEOUT, 0.1, "the path on the clipboard")
        self.assert_edits_stay(target, {EDIT: b""})
        self.assertEqual(foreground()[0], target.hwnd, "the drop changed the foreground window")
        self.assert_no_box()

    def test_drop_with_busy_clipboard_is_reported(self):
        bar = self.start_bar()
        before = set_clipboard("使用中の内容")
        holder = self.hold_clipboard()
        self.drop(bar, "C:\\busy.txt")
        self.assert_box_and_close(CLIPBOARD_BUSY)
        holder.release()
        self.assertEqual(clipboard_text(), before)


if __name__ == "__main__":
    main()
