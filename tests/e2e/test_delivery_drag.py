"""Delivery by dragging E-Mail onto a window: into the edit under the pointer
(or the focused one); drops on the bar deliver nothing; the right button cancels."""

import contextlib
import time

from tavrin_harness import *  # noqa: F403


class DragDelivery(DeliveryTestCase):
    def setUp(self) -> None:
        super().setUp()
        self.sentinel = set_clipboard("ドラッグ前のクリップボード")

    def form(self) -> Target:
        return self.target("入力フォーム", "--form", "--pos", *FORM_POS)

    def start_with_form(self) -> tuple[Bar, Target]:
        return self.start_bar(), self.form()

    def edit_center(self, target: Target, edit: int) -> tuple[int, int]:
        return child_of(target.hwnd, edit).screen.center

    def button_center(self, bar: Bar, button: int) -> tuple[int, int]:
        return bar.state().child(button).screen.center

    def form_texts(self, edit: int = 0) -> dict[int, bytes]:
        """What the form's edits hold when E-Mail went into edit (none: 0)."""
        return {e: b"E-Mail" if e == edit else b"" for e in FORM_EDITS}

    def test_drop_on_a_child_edit_delivers_into_that_edit(self):
        bar, form = self.start_with_form()
        drag(self.button_center(bar, MAIL), self.edit_center(form, ADDRESS_EDIT))
        self.wait_edit(form, ADDRESS_EDIT, "E-Mail")
        self.assert_edits_stay(form, self.form_texts(ADDRESS_EDIT))
        self.assertEqual(foreground()[0], form.hwnd, "the form is not the foreground window after the drop")
        self.assertEqual(clipboard_text(), b"E-Mail")

    def test_repeated_drops_each_reach_their_edit(self):
        bar, form = self.start_with_form()
        wrong = []
        for round, edit in enumerate((ADDRESS_EDIT, READING_EDIT, NOTES_EDIT, ADDRESS_EDIT), 1):
            for e in FORM_EDITS:
                set_window_text(form.edits[e], b"")
            drag(self.button_center(bar, MAIL), self.edit_center(form, edit))
            with contextlib.suppress(TimedOut):
                wait_for(lambda: form.edit_text(edit) == b"E-Mail", 5 * SCALE, 0.05, "the text")
            got = {e: form.edit_text(e) for e in FORM_EDITS if form.edit_text(e)}
            if got != {edit: b"E-Mail"}:
                wrong.append((round, edit, got))
        self.assertEqual(wrong, [], "drops that did not reach their edit: (round, edit, what the edits held)")

    def test_drop_on_a_busy_program_leaves_the_bar_answering(self):
        # The bar asks the target before it hands the focus over, and a busy
        # one gets the paste where its own focus is. (Wine never blocks the
        # bar in SetFocus, so this guards the mend rather than showing it.)
        bar, form = self.start_with_form()
        start, end = self.button_center(bar, MAIL), self.edit_center(form, ADDRESS_EDIT)
        post(form.hwnd, 0x8000, 2000)  # busy for 2 s from now
        busy_until = time.monotonic() + 2
        drag(start, end)
        while time.monotonic() < busy_until + 0.5:
            send(bar.hwnd, 0, timeout_ms=1000)  # raises if the bar did not answer in time
        self.assert_alive(form)

    def test_drop_on_a_single_line_edit_that_is_not_focused(self):
        bar, form = self.start_with_form()
        drag(self.button_center(bar, MAIL), self.edit_center(form, READING_EDIT))
        self.wait_edit(form, READING_EDIT, "E-Mail")
        self.assert_edits_stay(form, self.form_texts(READING_EDIT))

    def test_drop_replaces_the_previous_target(self):
        bar = self.start_bar()
        plain = self.target("前の代筆先", "--pos", *PLAIN_POS)
        form = self.form()
        self.make_current(bar, plain, "前の代筆先")
        drag(self.button_center(bar, MAIL), self.edit_center(form, NOTES_EDIT))
        self.wait_edit(form, NOTES_EDIT, "E-Mail")
        self.assert_edits_stay(form, self.form_texts(NOTES_EDIT))
        self.assertEqual(plain.edit_text(EDIT), b"", "the previous target received text")
        # The form is the target from now on: a click delivers there too.
        self.wait_strip(bar, "入力フォーム", limit=None)
        self.click(bar, FAMILY_NAME)
        self.wait_edit(form, NOTES_EDIT, "E-Mail姓")
        self.assertEqual(plain.edit_text(EDIT), b"", "the previous target received text")

    def test_drop_on_the_first_edit_of_the_form(self):
        bar = self.start_bar()
        plain = self.target("前の代筆先", "--pos", *PLAIN_POS)
        form = self.form()
        self.make_current(bar, plain, "前の代筆先")
        drag(self.button_center(bar, MAIL), self.edit_center(form, NAME_EDIT))
        self.wait_edit(form, NAME_EDIT, "E-Mail")
        self.assert_edits_stay(form, self.form_texts(NAME_EDIT))
        self.assertEqual(plain.edit_text(EDIT), b"")

    def test_drop_on_the_disabled_edit_goes_to_the_focused_edit(self):
        bar, form = self.start_with_form()
        # The notes edit gets the focus; the form keeps it while inactive.
        mouse_move(*self.edit_center(form, NOTES_EDIT))
        xdotool("click", 1)
        mouse_move(*PARK)
        self.make_current(bar, form, "入力フォーム")
        drag(self.button_center(bar, MAIL), self.edit_center(form, PHONE_EDIT))
        self.wait_edit(form, NOTES_EDIT, "E-Mail")
        self.assert_edits_stay(form, self.form_texts(NOTES_EDIT))

    def test_drop_on_the_bar_background_delivers_nothing(self):
        bar, form = self.start_with_form()
        self.make_current(bar, form, "入力フォーム")
        s = bar.state()
        left, right = s.child(GIVEN_NAME).screen, s.child(ZIP).screen
        self.assertGreaterEqual(right.left - left.right, 3, "no gap between 名 and 〒 to drop on")
        drag(self.button_center(bar, MAIL), ((left.right + right.left) // 2, left.center[1]))
        self.assert_edits_stay(form, self.form_texts())
        self.assertEqual(clipboard_text(), self.sentinel, "the clipboard changed")
        self.assert_no_box()

    def test_drop_on_the_title_strip_delivers_nothing(self):
        bar, form = self.start_with_form()
        self.make_current(bar, form, "入力フォーム")
        drag(self.button_center(bar, MAIL), bar.state().child(STRIP).screen.center)
        self.assert_edits_stay(form, self.form_texts())
        self.assertEqual(clipboard_text(), self.sentinel, "the clipboard changed")

    def test_drop_on_another_bar_button_delivers_nothing(self):
        bar, form = self.start_with_form()
        self.make_current(bar, form, "入力フォーム")
        drag(self.button_center(bar, MAIL), self.button_center(bar, FULL_NAME))
        self.assert_edits_stay(form, self.form_texts())
        self.assertEqual(clipboard_text(), self.sentinel, "the clipboard changed")
        self.assert_no_box()

    def test_right_button_cancels_the_drag(self):
        bar, form = self.start_with_form()
        drag(self.button_center(bar, MAIL), self.edit_center(form, ADDRESS_EDIT), cancel=True)
        self.assert_edits_stay(form, self.form_texts())
        self.assertEqual(clipboard_text(), self.sentinel, "the clipboard changed")
        # The button is usable again afterwards.
        self.make_current(bar, form, "入力フォーム")
        self.click(bar, FAMILY_NAME)
        focused = wait_for(lambda: [e for e in FORM_EDITS if form.edit_text(e)], CHANGE_TIMEOUT, 0.1,
                           "a click after the cancelled drag to deliver")
        self.assertEqual({e: form.edit_text(e) for e in focused}, {focused[0]: sjis("姓")})

    def test_right_button_cancels_a_drag_still_over_its_own_button(self):
        bar, target = self.start_on("元の場所", "--pos", *PLAIN_POS)
        x, y = self.button_center(bar, MAIL)
        drag((x, y), (x + 1, y), cancel=True, steps=1)
        self.assert_stays(lambda: target.edit_text(EDIT), b"", "the edit after the cancelled drag")
        self.assertEqual(clipboard_text(), self.sentinel, "the clipboard changed")

    def test_drag_started_by_the_second_press_of_a_double_click(self):
        bar, form = self.start_with_form()
        target = self.target("元の場所", "--pos", *PLAIN_POS)
        self.make_current(bar, target, "元の場所")
        start = self.button_center(bar, MAIL)
        mouse_move(*start)
        xdotool("click", 1)
        drag(start, self.edit_center(form, ADDRESS_EDIT))
        self.wait_edit(form, ADDRESS_EDIT, "E-Mail")
        self.wait_edit(target, EDIT, "E-Mail")

    def test_drag_released_over_the_button_itself_is_a_click(self):
        bar, target = self.start_on("元の場所", "--pos", *PLAIN_POS)
        x, y = self.button_center(bar, MAIL)
        drag((x, y), (x + 2, y + 1), steps=2)
        self.wait_edit(target, EDIT, "E-Mail")
        self.assert_stays(lambda: target.edit_text(EDIT), b"E-Mail", "the edit after the drag")


if __name__ == "__main__":
    main()
