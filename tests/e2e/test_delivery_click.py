"""Delivery by a click: the field names on a first start, stored Japanese
texts byte for byte; nothing without a target, for an empty text (a notice
shows) or while another program holds the clipboard."""

import time

from tavrin_harness import *  # noqa: F403


# What a first start delivers.
DEFAULT_TEXTS = {
    FULL_NAME: "姓 名", FAMILY_NAME: "姓", GIVEN_NAME: "名", ZIP: "郵便番号", ADDRESS: "住所", PHONE: "電話番号",
    MAIL: "E-Mail", HOMEPAGE: "HomePageAdress",
    **{button: f"文字{n}" for n, button in enumerate(USER_STRINGS, 1)},
}

# Stored Japanese data. 表 (95 5C) and ソ (83 5C) end in the byte of "\".
STORED_PRIVATE = {
    "Name1": "山田", "Name2": "太郎", "AddressNo": "160-0022",
    "Address": "東京都新宿区新宿表町1-2 ソフト能ビル5F", "PhoneNo": "03-1234-5678",
    "E-Mail": "taro.yamada@example.jp", "Homepage": "http://example.jp/~taro/",
}
STORED_STRINGS = {
    1: "ﾔﾏﾀﾞ ﾀﾛｳ（半角ｶﾅ）",
    # 髙 as Windows writes it (FB FC; Python's cp932 gives EE E0) and ①.
    2: sjis("一行目\r\n二行目：表とソ\r\n三行目 ") + b"\xfb\xfc" + sjis("橋①"),
    3: "C:\\表\\ソ\\予定.txt",
    10: "十番目の文字列",
}
STORED_SETTINGS = {"PrivateData": STORED_PRIVATE, "UserString": {f"String{n}": t for n, t in STORED_STRINGS.items()}}
STORED_TEXTS = {
    FULL_NAME: "山田 太郎", FAMILY_NAME: "山田", GIVEN_NAME: "太郎", ZIP: "160-0022",
    ADDRESS: STORED_PRIVATE["Address"], PHONE: "03-1234-5678", MAIL: "taro.yamada@example.jp",
    HOMEPAGE: "http://example.jp/~taro/",
    **{USER_STRINGS[n - 1]: text for n, text in STORED_STRINGS.items()},
}


class ClickTestCase(DeliveryTestCase):
    def deliver_each(self, title: str, settings: dict, page2: list[int], texts: dict[int, str],
                     stays: float = 0) -> None:
        """Clicks each button of page 1, then page2's: each text arrives, on the clipboard too."""
        bar, target = self.start_on(title, settings=settings)
        for page, buttons in ((1, PAGE_BUTTONS[1]), (2, page2)):
            if page == 2:
                self.click(bar, NEXT)
                bar.wait_page(2)
                self.make_current(bar, target, title)
            for button in buttons:
                expected = sjis(texts[button])
                with self.subTest(button=button, text=texts[button]):
                    set_window_text(target.edits[EDIT], b"")
                    self.click(bar, button)
                    self.wait_edit(target, EDIT, expected)
                    self.assertEqual(clipboard_text(), expected, "the clipboard after the delivery")
                    if stays:
                        self.assert_stays(lambda: target.edit_text(EDIT), expected, "the edit afterwards", stays)


class ClickOnDefaults(ClickTestCase):
    """A first start: the buttons deliver the field names themselves."""

    def test_every_text_button_delivers_its_default_text(self):
        self.deliver_each("代筆先 既定", {}, USER_STRINGS, DEFAULT_TEXTS, stays=0.5)
        self.assert_no_box()

    def test_single_click_delivers_once(self):
        bar, target = self.start_on("一回だけ")
        self.click(bar, FAMILY_NAME)
        self.wait_edit(target, EDIT, "姓")
        self.assert_stays(lambda: target.edit_text(EDIT), sjis("姓"), "the edit after one click", 3 * SCALE)
        self.assertEqual([scan > 0 for scan in target.ctrl_v()], [True], "one Ctrl+V, with the V key's scan code")

    def test_ctrl_v_waits_while_shift_is_still_held(self):
        bar, target = self.start_on("Shift+クリック")
        set_clipboard("前の内容")
        mouse_move(*bar.state().child(FAMILY_NAME).screen.center)
        xdotool("keydown", "shift")  # on the X keyboard: Wine drops one synthesized inside it at a click
        try:
            time.sleep(0.5)  # for Wine to take the key in
            xdotool("click", 1)
            wait_for(lambda: clipboard_text() == sjis("姓"), CHANGE_TIMEOUT, 0.05, "the text on the clipboard")
            time.sleep(0.2)  # keys sent at once would have been pasted by now; the bar waits up to 1 s
            self.assertEqual(target.edit_text(EDIT), b"", "pasted while Shift was held")
        finally:
            xdotool("keyup", "shift")
            mouse_move(*PARK)
        self.wait_edit(target, EDIT, "姓")

    def test_two_clicks_in_a_row_deliver_twice(self):
        bar, target = self.start_on("二回")
        self.click(bar, FULL_NAME)
        self.wait_edit(target, EDIT, "姓 名")
        self.click(bar, FULL_NAME)
        self.wait_edit(target, EDIT, "姓 名姓 名")
        self.assert_stays(lambda: target.edit_text(EDIT), sjis("姓 名姓 名"), "the edit after two clicks")

    def test_every_one_of_ten_clicks_arrives(self):
        # Each click activates the target afresh; no paste may be lost.
        bar, target = self.start_on("十回")
        lost = []
        for round in range(1, 11):
            set_window_text(target.edits[EDIT], b"")
            self.click(bar, PHONE)
            try:
                wait_for(lambda: target.edit_text(EDIT) == sjis("電話番号"), 5 * SCALE, 0.05, "the text")
            except TimedOut:
                lost.append((round, target.edit_text(EDIT), clipboard_text()))
        self.assertEqual(lost, [], "clicks whose text did not arrive: (round, edit, clipboard)")

    def test_quick_double_click_delivers_twice(self):
        bar, target = self.start_on("ダブルクリック")
        mouse_move(*bar.state().child(GIVEN_NAME).screen.center)
        xdotool("click", "--repeat", 2, "--delay", 120, 1)
        mouse_move(*PARK)
        self.wait_edit(target, EDIT, "名名")
        self.assert_stays(lambda: target.edit_text(EDIT), sjis("名名"), "the edit after a double click")

    def test_text_goes_where_the_caret_is(self):
        bar, target = self.start_on("挿入", "--text", hexarg("前後"))
        # Caret between the two characters (2 bytes, 1 character in).
        probe("send", target.edits[EDIT], 0x00B1, 1, 1)  # EM_SETSEL
        self.click(bar, FAMILY_NAME)
        self.wait_edit(target, EDIT, "前姓後")


class ClickOnStoredTexts(ClickTestCase):
    """Stored Japanese texts arrive byte for byte."""

    def test_test_data_holds_backslash_second_bytes(self):
        address = sjis(STORED_PRIVATE["Address"])
        self.assertIn(b"\x95\x5c", address)  # 表
        self.assertIn(b"\x83\x5c", address)  # ソ

    def test_every_stored_text_arrives_exactly(self):
        self.deliver_each("代筆先 登録済み", STORED_SETTINGS, [USER_STRINGS[n - 1] for n in STORED_STRINGS], STORED_TEXTS)

    def test_three_line_user_string_arrives_with_cr_lf_and_its_locale(self):
        bar, target = self.start_on("三行", settings={**STORED_SETTINGS, "Setting": {"PageNo": 2}})
        self.click(bar, USER_STRINGS[1])
        expected = sjis(STORED_STRINGS[2])
        self.assertEqual(expected.count(b"\r\n"), 2)
        self.wait_edit(target, EDIT, expected)
        self.assertEqual(clipboard_text(), expected, "the clipboard keeps CR LF")
        # Unicode readers convert with the locale's code page, not the keyboard language's.
        self.assert_japanese_text_first()
        unicode = STORED_STRINGS[2].decode("cp932").encode("utf-16-le")
        self.assertEqual(cliptool("unicode"), ["unicode " + unicode.hex()])

    def test_full_name_of_two_empty_names_is_one_space_without_notice(self):
        bar, target = self.start_on("空の氏名", settings={"PrivateData": {"Name1": "", "Name2": ""}})
        self.click(bar, FULL_NAME)
        self.wait_edit(target, EDIT, b" ")
        self.assertEqual(clipboard_text(), b" ")
        self.assert_stays(message_boxes, [], "message boxes after delivering the full name")
        self.assertEqual(target.edit_text(EDIT), b" ")

    def test_full_name_with_only_the_given_name(self):
        bar, target = self.start_on("名だけ", settings={"PrivateData": {"Name1": "", "Name2": "太郎"}})
        self.click(bar, FULL_NAME)
        self.wait_edit(target, EDIT, " 太郎")


class NoDelivery(DeliveryTestCase):
    def test_closed_target_gets_nothing_and_the_clipboard_is_kept(self):
        bar = self.start_bar()
        bystander = self.target("別の窓", "--pos", *PLAIN_POS)
        target = self.target("閉じる代筆先")
        self.make_current(bar, target, "閉じる代筆先")
        before = set_clipboard("以前のクリップボード")
        self.assertTrue(set_foreground(bar.hwnd), "the bar did not come to the foreground")
        target.close()
        self.wait_strip(bar, b"", limit=None)
        self.click(bar, FAMILY_NAME)
        self.assert_stays(clipboard_text, before, "the clipboard after a click without target")
        self.assert_no_box()
        self.assertEqual(bystander.edit_text(EDIT), b"", "another window received the text")

    def test_closed_target_noticed_only_at_click_time(self):
        # The target closes while the bar is foreground and the click comes
        # before a tick has cleared the strip: still nothing is delivered.
        bar = self.start_bar()
        bystander = self.target("別の窓", "--pos", *PLAIN_POS)
        target = self.target("すぐ閉じる")
        self.make_current(bar, target, "すぐ閉じる")
        before = set_clipboard("以前のクリップボード2")
        mouse_move(*bar.state().child(FAMILY_NAME).screen.center)
        self.assertTrue(set_foreground(bar.hwnd), "the bar did not come to the foreground")
        target.close()
        xdotool("click", 1)
        mouse_move(*PARK)
        self.assert_stays(clipboard_text, before, "the clipboard after a click on a closed target")
        self.assert_no_box()
        self.assertEqual(bystander.edit_text(EDIT), b"", "another window received the text")

    def test_click_without_any_target_does_nothing(self):
        bar = self.start_bar()
        before = set_clipboard("ターゲットなし")
        self.assertEqual(strip_text(bar), b"", "the bar has a target already")
        self.click(bar, FAMILY_NAME)
        self.assert_stays(clipboard_text, before, "the clipboard after a click without target")
        self.assert_no_box()

    def test_empty_user_string_shows_the_notice_with_a_target(self):
        bar, target = self.start_on("空の文字列", settings={"UserString": {"String1": ""}, "Setting": {"PageNo": 2}})
        before = set_clipboard("空文字のとき")
        self.click(bar, USER_STRINGS[0])
        self.assert_box_and_close(EMPTY_TEXT)
        self.assert_edits_stay(target, {EDIT: b""})
        self.assertEqual(clipboard_text(), before, "the clipboard changed")

    def test_empty_user_string_shows_the_notice_without_a_target(self):
        bar = self.start_bar({"UserString": {"String1": ""}, "Setting": {"PageNo": 2}})
        self.assertEqual(strip_text(bar), b"", "the bar has a target already")
        self.click(bar, USER_STRINGS[0])
        self.assert_box_and_close(EMPTY_TEXT)
        self.assert_no_box()

    def test_empty_family_name_shows_the_notice(self):
        bar, target = self.start_on("空の姓", settings={"PrivateData": {"Name1": ""}})
        self.click(bar, FAMILY_NAME)
        self.assert_box_and_close(EMPTY_TEXT)
        self.assertEqual(target.edit_text(EDIT), b"")

    def test_busy_clipboard_is_reported_and_left_alone(self):
        bar, target = self.start_on("使用中")
        before = set_clipboard("ほかのプログラムの内容")
        holder = self.hold_clipboard()
        self.click(bar, FULL_NAME)
        self.assert_box_and_close(CLIPBOARD_BUSY)
        holder.release()
        self.assertEqual(clipboard_text(), before, "the clipboard after the other program let go")
        self.assert_edits_stay(target, {EDIT: b""})
        self.assert_no_box()
        # Once the clipboard is free, delivery works again.
        self.make_current(bar, target, "使用中")
        self.click(bar, FULL_NAME)
        self.wait_edit(target, EDIT, "姓 名")


if __name__ == "__main__":
    main()
