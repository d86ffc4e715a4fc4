"""Composing a password by clicking the on-screen keys, as a person would."""

import unittest

from desktop import Program, wait_for

PASSWORD = "Pa5s&w rD;9"


class ClickTyping(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)

    def click_key(self, caption):
        self.program.key(caption).click()

    def type_by_clicks(self, text):
        """Clicks the keys that show each character, using Shift or Caps Lock for capitals."""
        for character in text:
            caption = " " if character == " " else character
            names = {key.name for key in self.program.visible_keys()}
            if caption == " ":
                self.click_key("")
                continue
            if caption not in names:
                # Not on a key now: the other set has it. Letters go through Caps Lock,
                # everything else through the one-shot Shift.
                use_lock = character.isalpha()
                self.click_key("lock" if use_lock else "shft")
                wait_for(f"a key showing {caption!r}",
                         lambda: caption in {key.name for key in self.program.visible_keys()})
                self.click_key(caption)
                if use_lock:
                    self.click_key("lock")
            else:
                self.click_key(caption)
            wait_for("the key to register", lambda: True)

    def shown_password(self):
        """Switches the mask off from the menu and reads the text line."""
        self.program.menu("View", "Password Mask")
        line = wait_for("the text line", self.program.text_line)
        return line.text().replace("\n", "\r\n")

    def test_clicked_password_is_masked_then_shown_exactly(self):
        self.type_by_clicks(PASSWORD)
        line = self.program.password_line()
        wait_for("one mask character per password character", lambda: line.character_count() == len(PASSWORD))
        # A masked line gives its text to nobody, not even the accessibility bus.
        self.assertEqual(line.text(), "")
        self.assertEqual(self.shown_password(), PASSWORD)

    def test_scrambled_keys_type_the_same_password_by_their_new_captions(self):
        before = [key.name for key in self.program.visible_keys()]
        self.program.tool("ScrambleOnScreen", "the keys to move",
                          lambda: [key.name for key in self.program.visible_keys()] != before)
        self.type_by_clicks(PASSWORD)
        self.assertEqual(self.shown_password(), PASSWORD)


if __name__ == "__main__":
    unittest.main()
