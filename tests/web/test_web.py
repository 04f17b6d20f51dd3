#!/usr/bin/env python3
"""The browser build in headless Chromium: the page, its dialogs, storage and
sound, driven through Selenium. Usage: test_web.py WEB_DIR [unittest args].
Starts its own static server on 127.0.0.1 and ends with "web: P passed, F failed"."""
import base64
import functools
import http.server
import json
import os
import shutil
import socket
import sys
import tempfile
import threading
import time
import subprocess
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
WEB_DIR = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else "build/web"
IDM = {"new": 500, "options": 501, "scores": 502, "warp": 503, "help": 504, "quit": 505,
       "abort": 506, "music": 507, "about": 1000, "clear": 40004}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def start_server():
    handler = functools.partial(QuietHandler, directory=WEB_DIR)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser():
    options = webdriver.ChromeOptions()
    for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--window-size=1400,1100", "--autoplay-policy=no-user-gesture-required"]:
        options.add_argument(arg)
    profile = tempfile.mkdtemp(prefix="quarrion-web-")
    options.add_argument("--user-data-dir=" + profile)
    for binary in ("/usr/bin/chromium", "/usr/bin/chromium-browser"):
        if os.path.exists(binary):
            options.binary_location = binary
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.set_script_timeout(30)
    return driver, profile


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = start_server()
        cls.base = "http://127.0.0.1:%d/index.html" % cls.server.server_address[1]
        cls.d, cls.profile = start_browser()

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()
        cls.server.shutdown()
        shutil.rmtree(cls.profile, ignore_errors=True)

    # --- helpers -----------------------------------------------------------------
    def open(self, query="?notimer", storage=None):
        """Loads the page (the play timer off unless asked), with the stored
        file's text set first when storage is given (None: left as it is)."""
        if storage is not None:
            # Set from a page of the same origin that runs no game, whose end
            # would write the game's own file over it.
            self.d.get(self.base.replace("index.html", "no-game-here"))
            self.js("localStorage.clear(); if (arguments[0] !== '') localStorage.setItem('Quarr95.ini', arguments[0]);",
                    storage)
        self.d.get(self.base + query)
        self.wait("return !!Module.quarrionReady")
        self.d.get_log("browser")  # what came before this page is another test's

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def wait(self, script, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end:
            value = self.js(script)
            if value:
                return value
            time.sleep(0.05)
        self.fail("timed out waiting for: " + script)

    def command(self, name):
        # The command waits inside its dialog: it is started, not awaited.
        self.js("setTimeout(function () { Module.quarrionCommand(%d); }, 0);" % IDM[name])

    def dialog_text(self):
        return self.wait("var d = document.querySelector('.dlg'); return d && d.innerText;")

    def key(self, key):
        self.d.switch_to.active_element.send_keys(key)

    def no_dialog(self):
        self.wait("return !document.querySelector('.dlg')")

    def errors(self):
        return [l["message"] for l in self.d.get_log("browser") if l["level"] == "SEVERE"]

    def stored(self):
        return self.js("return localStorage.getItem('Quarr95.ini')") or ""

    def pixel(self, x, y):
        return self.js("return Array.from(document.getElementById('picture').getContext('2d')"
                       ".getImageData(arguments[0], arguments[1], 1, 1).data.slice(0, 3));", x, y)

    def canvas_rgb(self):
        data = self.js("var d = document.getElementById('picture').getContext('2d').getImageData(0, 0, 640, 480).data,"
                       " s = ''; for (var i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i+1], d[i+2]);"
                       " return btoa(s);")
        return base64.b64decode(data)

    # --- scenarios -----------------------------------------------------------------
    def test_screens_are_the_windows_screens_outside_text_and_motion(self):
        # docs/*.png are the Windows game's own screens (ReadmeScreens): the
        # title, and level 27 in play. Frames, boxes, pictures, patterns and
        # buttons match them pixel for pixel; text, tiles, the credits band,
        # the buttons' rings and the goal picture's examples move or differ,
        # so they are left out.
        pattern = [(0, 0, 640, 28), (0, 456, 640, 480), (0, 0, 22, 480), (612, 0, 640, 480)]
        buttons = [(515, 44, 590, 90), (515, 394, 590, 440)]
        cases = [
            ("title.png", None, pattern + buttons + [(85, 100, 430, 226), (85, 264, 430, 391)]),
            ("playing.png", 26, pattern + buttons + [(29, 28, 248, 172), (29, 140, 44, 450), (233, 140, 248, 450),
                                                     (262, 28, 272, 450)]),
        ]
        for picture, level_before, regions in cases:
            with self.subTest(screen=picture):
                windows = subprocess.run(["convert", os.path.join(ROOT, "docs", picture), "rgb:-"],
                                         capture_output=True, check=True).stdout
                self.open("?zoom=1&notimer", storage="")
                if level_before:
                    self.command("new")
                    self.wait("return Module.quarrionMenuState() & 1")
                    self.js("setTimeout(function () { Module.quarrionLevelOver(%d); }, 0);" % level_before)
                    self.dialog_text()
                    self.key(Keys.ENTER)
                    self.no_dialog()
                    self.wait("return Module.quarrionTick(1) === 1")
                web = self.canvas_rgb()
                for l, t, r, b in regions:
                    bad = [(x, y) for y in range(t, b) for x in range(l, r)
                           if web[3 * (640 * y + x):3 * (640 * y + x) + 3] != windows[3 * (640 * y + x):3 * (640 * y + x) + 3]]
                    self.assertEqual(bad[:5], [], "%s %r: %d pixels differ" % (picture, (l, t, r, b), len(bad)))

    def test_scripted_game_draws_the_windows_picture(self):
        # tests/data/scripted_game.txt played here as the Win32 test plays it
        # (ScriptedGame), which saves its picture at the level's end. The page
        # keeps its own clock of 32 ms a tick, as that test does. Left out: the
        # side panel (its lines are text) and the six buttons, which are
        # windows of their own there and not in its picture, and the top row,
        # black in the game's screens and on the page but not drawn by the
        # renderer that test calls.
        shot = os.path.join(WEB_DIR, "..", "screenshots", "scripted_game.png")
        self.assertTrue(os.path.exists(shot), "the Win32 test ScriptedGame writes " + shot)
        windows = subprocess.run(["convert", shot, "rgb:-"], capture_output=True, check=True).stdout
        seed, speed, keys = 0, 1, []
        with open(os.path.join(ROOT, "tests", "data", "scripted_game.txt")) as f:
            for words in (l.split() for l in f if l.strip() and not l.startswith("#")):
                if words[0] == "seed":
                    seed = int(words[1])
                elif words[0] == "speed":
                    speed = int(words[1])
                else:
                    keys.append((int(words[0]), int(words[1])))
        self.open("?zoom=1&notimer&seed=%d" % seed, storage="[Prefs]\nSpeed=%d\n" % speed)
        self.js("window.clock = 1000000; Module.quarrionClock = function () { return window.clock; };")
        self.command("new")
        self.wait("return Module.quarrionMenuState() & 1")
        played = self.js("var keys = arguments[0], t = 0;"
                         "for (var k = 0; k < keys.length; k++) {"
                         "  for (; t < keys[k][0]; t++) { window.clock += 32; if (Module.quarrionTick(1) !== 1) return t; }"
                         "  if (k + 1 < keys.length) Module.quarrionKey(keys[k][1]);"
                         "  else setTimeout(function () { Module.quarrionKey(keys[keys.length - 1][1]); }, 0);"
                         "} return t;", keys)
        self.assertEqual(played, keys[-1][0], "no dialog before the last key")
        self.assertIn("Level 1 Complete", self.dialog_text())
        web = self.canvas_rgb()
        outside = [(28, 27, 250, 450), (505, 30, 600, 450), (0, 0, 640, 1)]
        bad = [(x, y) for y in range(480) for x in range(640)
               if not any(l <= x < r and t <= y < b for l, t, r, b in outside)
               and web[3 * (640 * y + x):3 * (640 * y + x) + 3] != windows[3 * (640 * y + x):3 * (640 * y + x) + 3]]
        self.assertEqual(bad[:5], [], "%d pixels differ" % len(bad))
        self.assertEqual(self.errors(), [])

    def test_title_drawn_without_errors(self):
        self.open("", storage="")
        self.assertGreater(self.js("return Module.quarrionDrawn"), 0)
        # The panels' light grey, the white credits band and its first letters.
        self.assertEqual(self.pixel(40, 440), [192, 192, 192])
        self.assertEqual(self.pixel(92, 232), [255, 255, 255])
        self.wait("return Module.quarrionTickTimes.length > 10")
        colours = self.js("var d = document.getElementById('picture').getContext('2d')"
                          ".getImageData(94, 231, 329, 28).data, s = new Set();"
                          "for (var i = 0; i < d.length; i += 4) s.add(d[i] << 16 | d[i+1] << 8 | d[i+2]);"
                          "return s.size;")
        self.assertGreater(colours, 1, "the credits band scrolls in")
        self.assertIn("start the sound", self.js("return document.getElementById('notice').textContent"))
        # Every changed piece reaches the canvas whole, on the title and in play.
        self.assertEqual(self.js("return Module.quarrionCanvasDiffers()"), 0)
        self.d.find_element(By.TAG_NAME, "body").send_keys("n")
        self.wait("return Module.quarrionMenuState() & 1")
        for k in [Keys.LEFT, Keys.UP, Keys.DOWN, Keys.RIGHT, Keys.RIGHT]:
            self.key(k)
        self.wait("return Module.quarrionTickTimes.length > 60")
        self.assertEqual(self.js("return Module.quarrionCanvasDiffers()"), 0)
        self.assertEqual(self.errors(), [])

    def test_every_dialog_opens_and_closes_with_its_texts(self):
        self.open(storage="")
        cases = [
            ("about", ["About...", "Version 1.52", "MIT licence.", "Design, code, art, sound: the Quarrion team."], Keys.ENTER),
            ("options", ["Options", "Slow", "Normal", "Fast", "Insane", "Sound", "Music", "Continuous",
                         "Use Menu", "Patterns", "OK", "Cancel"], Keys.ESCAPE),
            ("scores", ["Quarrion High Scores", "TOP TEN HIGH SCORES", "A. Player", "00000000", "Last Score"], Keys.ESCAPE),
            ("warp", ["Level Warp", "Enter Code:"], Keys.ESCAPE),
            ("help", ["Quarrion Help", "How to play", "Keys"], Keys.ESCAPE),
            ("clear", ["Clear high scores?", "Yes", "No"], Keys.ESCAPE),
        ]
        for name, texts, close in cases:
            with self.subTest(dialog=name):
                self.command(name)
                text = self.dialog_text()
                for t in texts:
                    self.assertIn(t, text)
                self.key(close)
                self.no_dialog()
        # The help's gamepad is the game's drawing made larger, its words
        # written on it: the body's grey, and blue words beside it.
        self.command("help")
        self.dialog_text()
        self.d.find_element(By.XPATH, "//div[@id='help']//li[text()='Gamepad']").click()
        grey, blue = self.js(
            "var c = document.querySelector('#help .page canvas'), z = c.width / 380, g = c.getContext('2d');"
            "var body = g.getImageData(220 * z, 40 * z, 1, 1).data, n = 0;"
            "var w = g.getImageData(232 * z, 0, 148 * z, 16 * z).data;"
            "for (var i = 0; i < w.length; i += 4) if (w[i + 2] > 200 && w[i] < 100) n++;"
            "return [[body[0], body[1], body[2]], n];")
        self.assertEqual(grey, [192, 192, 192])
        self.assertGreater(blue, 20)
        self.d.save_screenshot(os.path.join(WEB_DIR, "..", "screenshots", "web_help_gamepad.png"))
        self.key(Keys.ESCAPE)
        self.no_dialog()
        # The high scores' own right-click menu clears the table after its question.
        self.command("scores")
        self.dialog_text()
        ActionChains(self.d).context_click(self.d.find_element(By.CSS_SELECTOR, ".dlg table")).perform()
        self.d.find_element(By.XPATH, "//div[contains(@class,'mi') and text()='Clear High Scores']").click()
        self.assertIn("Clear high scores?", self.wait(
            "var d = document.querySelector('.dlg'); return d && d.innerText.indexOf('Clear high') >= 0 && d.innerText"))
        self.d.find_element(By.XPATH, "//div[@class='dlg']//button[text()='Yes']").click()
        self.assertIn("TOP TEN HIGH SCORES", self.wait(
            "var d = document.querySelector('.dlg'); return d && d.innerText.indexOf('TOP TEN') >= 0 && d.innerText"))
        self.assertIn("CLEARSCORES", self.js("return Module.quarrionEffects"))
        self.d.find_element(By.CSS_SELECTOR, ".dlg table").click()  # a click closes it
        self.no_dialog()
        self.assertIn("[Scores]", self.stored())
        # The questions that need a game: a new game and abort, both answered No.
        self.command("new")
        self.no_dialog()
        self.wait("return Module.quarrionMenuState() & 1")
        for name, question in [("new", "Are you sure you want to start a new game?"),
                               ("abort", "Abort current game?"), ("quit", "Are you sure you want to quit?")]:
            with self.subTest(question=name):
                self.command(name)
                self.assertIn(question, self.dialog_text())
                self.key(Keys.ESCAPE)
                self.no_dialog()
                self.assertTrue(self.js("return Module.quarrionMenuState() & 1"), "No keeps the game")
        # Quit's Yes ends the game and shows the title: a page cannot close itself.
        self.command("quit")
        self.dialog_text()
        self.d.find_element(By.XPATH, "//div[@class='dlg']//button[text()='Yes']").click()
        self.no_dialog()
        self.assertFalse(self.js("return Module.quarrionMenuState() & 1"))
        self.assertEqual(self.errors(), [])

    def menu(self):
        """The open menus' items: (text, grey, checked) of each."""
        return self.js("return Array.from(document.querySelectorAll('.menu .mi')).map(function (m) {"
                       " return [m.firstChild.textContent, m.classList.contains('grey'), m.classList.contains('checked')]; });")

    def at(self, x, y):
        # Selenium measures from the element's centre; the picture is at zoom 1.
        picture = self.d.find_element(By.ID, "picture")
        return ActionChains(self.d).move_to_element_with_offset(picture, x - 320, y - 240)

    def test_buttons_menus_tooltips_and_escape(self):
        self.open("?zoom=1", storage="")
        self.at(550, 60).perform()
        self.assertEqual(self.wait("var t = document.getElementById('tip');"
                                   "return t.style.display === 'block' && t.textContent"), "Start a new game")
        for running in (0, 1):
            self.d.find_element(By.XPATH, "//div[@class='mtop' and text()='File']").click()
            self.assertIn(["Abort Game", not running, False], self.menu())
            self.key(Keys.ESCAPE)
            self.d.find_element(By.XPATH, "//div[@class='mtop' and text()='Settings']").click()
            items = self.menu()
            self.assertIn(["Paused", not running, bool(running)], items, "opening a menu pauses the game")
            self.assertIn(["Sound", False, True], items)
            self.key(Keys.ESCAPE)
            self.at(300, 200).context_click().perform()
            names = [m[0] for m in self.menu()]
            self.assertEqual("Abort current game" in names, bool(running))
            self.assertEqual(names[:5], ["New", "Options", "Scores", "Warp", "Help"])
            self.key(Keys.ESCAPE)
            if not running:
                self.at(550, 60).click().perform()  # the New button
                self.wait("return Module.quarrionMenuState() & 1")
        # A button let go elsewhere does nothing and stands up again.
        before = self.canvas_rgb()
        self.at(550, 130).click_and_hold().move_by_offset(-300, 0).release().perform()
        time.sleep(0.2)
        self.assertFalse(self.js("return !!document.querySelector('.dlg')"))
        after = self.canvas_rgb()
        rows = range(110, 165)
        self.assertTrue(all(before[3 * (640 * y + 511):3 * (640 * y + 594)] == after[3 * (640 * y + 511):3 * (640 * y + 594)]
                            for y in rows), "the Options button is drawn up again")
        # A hidden tab is an inactive window: the game pauses.
        self.key(Keys.SPACE)
        self.assertFalse(self.js("return Module.quarrionMenuState() & 2"), "playing")
        self.js("Object.defineProperty(document, 'hidden', { configurable: true, get: function () { return true; } });"
                "document.dispatchEvent(new Event('visibilitychange'));")
        self.assertTrue(self.js("return Module.quarrionMenuState() & 2"), "paused while hidden")
        self.js("delete document.hidden; document.dispatchEvent(new Event('visibilitychange'));")
        self.key(Keys.SPACE)
        # Escape hides the game and silences it until a key comes.
        self.key(Keys.ESCAPE)
        self.assertTrue(self.js("return document.getElementById('stage').classList.contains('hidden')"))
        ticks = self.js("return Module.quarrionTickTimes.length")
        time.sleep(0.3)
        self.assertEqual(self.js("return Module.quarrionTickTimes.length"), ticks, "no play while hidden")
        self.key("x")
        self.assertFalse(self.js("return document.getElementById('stage').classList.contains('hidden')"))
        self.assertTrue(self.js("return Module.quarrionMenuState() & 2"), "the game comes back paused")
        self.assertEqual(self.errors(), [])

    def test_gamepad_plays_and_answers_dialogs(self):
        self.open("?zoom=1", storage="")
        self.js("window.padBits = 0; navigator.getGamepads = function () { return [{ connected: true, axes: [0, 0],"
                " buttons: Array.from({ length: 16 }, function (_, i) {"
                " return { pressed: [0x1000, 0x2000, 0x4000, 0x8000, 0, 0, 0, 0, 0x20, 0x10, 0, 0, 1, 2, 4, 8][i] & window.padBits ? true : false }; }) }]; };")

        def press(bits, until):
            # Held until the page has taken it, then let go and seen let go.
            time.sleep(0.1)
            self.js("window.padBits = arguments[0];", bits)
            self.wait(until)
            self.js("window.padBits = 0;")

        press(0x10, "return Module.quarrionMenuState() & 1")  # Start on the title: a new game
        press(0x20, "return document.querySelector('.menu')")  # Back: the right-click menu
        self.assertIn("Abort current game", [m[0] for m in self.menu()])
        press(0x2000, "return !document.querySelector('.menu')")  # B closes it
        self.command("options")
        self.dialog_text()
        press(0x2000, "return !document.querySelector('.dlg')")  # B is Escape in a dialog
        self.command("about")
        self.dialog_text()
        press(0x1000, "return !document.querySelector('.dlg')")  # A is Enter
        self.assertEqual(self.errors(), [])

    def test_level_complete_and_the_ending(self):
        self.open(storage="")
        self.command("new")
        self.wait("return Module.quarrionMenuState() & 1")
        self.js("setTimeout(function () { Module.quarrionLevelOver(5); }, 0);")
        text = self.dialog_text()
        for t in ["Level 5 Complete", "Tiles Caught: 0 (x25)", "Empty Bins: 25 (x200)",
                  "BONUS: 5000 Points", "Goal For Next Level"]:
            self.assertIn(t, text)
        self.key(Keys.ENTER)  # Continue: level 6 has a warp password, shown first
        self.assertIn("Warp Password", self.wait(
            "var d = document.querySelector('.dlg'); return d && d.innerText.indexOf('Password') >= 0 && d.innerText"))
        password = self.dialog_text().split("Warp Password")[1].split()[0]
        self.key(Keys.ENTER)
        self.no_dialog()
        # The level's tune plays to its end before play goes on: nothing ticks meanwhile.
        self.wait("return Module.quarrionTick(1) === 1")
        self.assertIn(" Level 06", self.js("return Module.quarrionTextOf()"))
        # The last level's end: the game is won, the ending takes a name.
        self.js("setTimeout(function () { Module.quarrionLevelOver(50); }, 0);")
        self.assertIn("You've won!", self.dialog_text())
        self.key(Keys.ENTER)
        self.key(Keys.ENTER)
        self.wait("return document.querySelector('.dlg input')")
        field = self.d.find_element(By.CSS_SELECTOR, ".dlg input")
        field.send_keys(Keys.ENTER)  # no name yet: refused with a beep
        self.assertTrue(self.js("return !!document.querySelector('.dlg input')"))
        field = self.d.find_element(By.CSS_SELECTOR, ".dlg input")
        field.send_keys("Winner")
        field.send_keys(Keys.ENTER)
        self.assertIn("Winner", self.dialog_text())
        self.key(Keys.ENTER)
        self.no_dialog()
        self.assertRegex(self.stored(), r"1=Winner,50,\d{8},")
        self.assertFalse(self.js("return Module.quarrionMenuState() & 1"), "back on the title")
        # The password warps a new game there; an unknown code leaves the dialog open.
        self.command("warp")
        self.dialog_text()
        for code in ["NOSUCHCODE", password]:
            shown = self.js("return Module.quarrionDialogs.length")
            field = self.d.find_element(By.CSS_SELECTOR, ".dlg input")
            field.clear()
            field.send_keys(code.lower())
            field.send_keys(Keys.ENTER)
            if code != password:  # the same dialog again, the code in its field in capitals
                self.wait("return Module.quarrionDialogs.length > %d && document.querySelector('.dlg input')" % shown)
                self.assertEqual(self.js("return document.querySelector('.dlg input').value"), code)
        self.no_dialog()
        self.wait("return Module.quarrionTick(1) === 1")
        self.assertIn(" Level 06", self.js("return Module.quarrionTextOf()"))
        self.assertEqual(self.errors(), [])

    def test_high_score_is_stored_in_the_file_format_and_survives_a_reload(self):
        self.open(storage="")
        self.command("new")
        self.wait("return Module.quarrionMenuState() & 1")
        self.js("Module.quarrionSetScore(123456);")
        # Nobody moves: the tiles are missed until the lives are gone.
        self.wait("Module.quarrionTick(200); return document.querySelector('.dlg')", timeout=60)
        self.assertEqual(self.js("return Module.quarrionDialogs"), ["gameover"])
        self.wait("var d = document.querySelector('.dlg'); return d && d.innerText.indexOf('New High Score!') >= 0")
        self.assertEqual(self.js("return Module.quarrionDialogs"), ["gameover", "newscore"])
        field = self.d.find_element(By.CSS_SELECTOR, ".dlg input")
        field.send_keys("Web, Player")
        field.send_keys(Keys.ENTER)
        self.assertIn("Web  Player", self.dialog_text())
        self.key(Keys.ENTER)
        self.no_dialog()
        text = self.stored()
        self.assertRegex(text, r"\[Scores\]\n1=Web  Player,\d+,00123456,\d\d/\d\d/\d{4}\n2=A\. Player,1,00000000,12/01/95\n")
        # Leaving the page writes the options, as closing the window does.
        self.open()
        self.assertIn(text[text.index("[Scores]"):], self.stored())
        self.assertIn("LastPlayer=Web  Player", self.stored())
        self.command("scores")
        self.assertIn("00123456", self.dialog_text())
        self.key(Keys.ESCAPE)
        self.no_dialog()

    def test_effects_and_music_reach_the_audio_graph(self):
        self.open("?notimer", storage="")
        self.js("Module.quarrionAudioUnlock();")
        self.wait("var c = Module.quarrionAudioContext(); return c && c.state === 'running'")
        level = ("var a = Module.quarrionAnalyser, b = new Float32Array(a.fftSize); a.getFloatTimeDomainData(b);"
                 "var m = 0; for (var i = 0; i < b.length; i++) m = Math.max(m, Math.abs(b[i])); return m;")
        self.command("new")
        self.wait("return Module.quarrionEffects.indexOf('NEWGAME') >= 0")
        self.assertGreater(self.wait(level.replace("return m;", "return m > 0.01 && m;")), 0.01)
        self.command("quit")
        self.dialog_text()
        self.d.find_element(By.XPATH, "//div[@class='dlg']//button[text()='Yes']").click()
        self.no_dialog()
        self.js("Module.quarrionCommand(%d);" % IDM["music"])
        self.assertTrue(self.js("return Module.quarrionMenuState() & 8"), "music on")
        self.wait("return Module.quarrionMusicCost().seconds > 0.5")
        self.assertGreater(self.wait(level.replace("return m;", "return m > 0.01 && m;")), 0.01)
        # A tune's end, once played, starts the next tune (rendered ahead here).
        starts = self.js("""
            var starts = 0, music = Module.quarrionAudio.music, buf = Module._malloc(8192), n = 0;
            Module.quarrionAudio.music = function (on) { if (on) starts++; return music(on); };
            while (Module._WebMusicRender(buf, 2048) === 1 && n < 200000) n++;
            Module.quarrionTick(1);
            var before = starts;
            Module._WebMusicEndPlayed();
            Module.quarrionTick(1);
            Module.quarrionAudio.music = music;
            return [before, starts];""")
        self.assertEqual(starts, [0, 1], "the next tune starts when the end has played, not before")
        self.assertEqual(self.errors(), [])

    def test_damaged_full_and_silent_pages_keep_to_the_games_behaviour(self):
        # A damaged stored file: what parses is read, the rest takes its defaults.
        self.open(storage="\x00\x01garbage[Prefs\nSpeed=3\n[Scores]\n1=Damaged,07,00000999\n2=Good,03,00000500,01/02/2020\n[Pre")
        self.command("scores")
        text = self.dialog_text()
        self.assertIn("Good", text)
        self.assertNotIn("Damaged", text)
        self.key(Keys.ESCAPE)
        self.no_dialog()
        # A save keeps what it does not write, the damaged part too.
        self.command("options")
        self.dialog_text()
        self.key(Keys.ENTER)
        self.no_dialog()
        self.assertIn("2=Good,03,00000500,01/02/2020", self.stored())
        self.assertIn("Speed=3", self.stored())
        # A full storage: the failed save is told once, and the game plays on.
        self.js("Storage.prototype.setItem = function () { throw new DOMException('full', 'QuotaExceededError'); };")
        self.command("options")
        self.dialog_text()
        self.key(Keys.ENTER)
        self.assertIn("could not be saved", self.wait(
            "var d = document.querySelector('.dlg'); return d && d.innerText.indexOf('saved') >= 0 && d.innerText"))
        self.assertIn("QuotaExceededError", self.dialog_text())
        self.key(Keys.ENTER)
        self.no_dialog()
        self.command("options")
        self.dialog_text()
        self.key(Keys.ENTER)
        self.no_dialog()
        time.sleep(0.2)
        self.assertFalse(self.js("return !!document.querySelector('.dlg')"), "told once only")
        # No audio at all: Sound and Music are grey, play goes on in silence.
        self.open("?notimer&noaudio", storage="")
        self.assertEqual(self.js("return Module.quarrionMenuState() & (4 | 16)"), 0)
        self.command("new")
        self.wait("return Module.quarrionMenuState() & 1")
        self.assertGreater(self.js("return Module.quarrionTick(50)"), 0)
        self.assertEqual(self.errors(), [])

    # --- a phone -----------------------------------------------------------------------
    def tap(self, x, y):
        self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
        self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def tap_lane(self, lane):
        # A design point of the lane, where the picture shows it.
        self.tap(*self.js("var r = document.getElementById('picture').getBoundingClientRect(), z = Module.quarrionZoom();"
                          "return [r.left + (274 + 41 * arguments[0] + 20) * z, r.top + 200 * z];", lane))

    def lanes(self):
        """The paddle's lane (its stack under the lanes) and the lane of the
        lowest tile in flight outside it, from the picture's pixels."""
        return self.js("""
            var c = document.getElementById('picture').getContext('2d'), paddle = -1, tile = -1, low = 0;
            for (var n = 0; n < 5; n++) {
              var x = 274 + 41 * n + 20, col = c.getImageData(x, 35, 1, 330).data;
              for (var y = 35; y < 365; y++) {
                var i = (y - 35) * 4, rgb = col[i] << 16 | col[i + 1] << 8 | col[i + 2];
                if (y >= 302 && rgb !== 0xffffff) paddle = n;
                if (y < 252 && rgb !== 0xc0c0c0 && y > low) { low = y; tile = n; }
              }
            }
            return [paddle, tile];""")

    def test_a_phone_plays_by_taps_alone(self):
        """On a 390 x 844 touch screen the picture fills the width, the six
        buttons are at least 9 mm, and taps alone start a game, move the
        paddle and drop a tile, each tap acting once."""
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        self.d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        try:
            self.open("?notimer&seed=5", storage="")
            width = self.js("return document.getElementById('picture').getBoundingClientRect().width")
            self.assertTrue(380 <= width <= 390, width)
            self.assertEqual(self.js("return getComputedStyle(document.getElementById('frame')).touchAction"), "none")
            buttons = self.js("return Array.from(document.querySelectorAll('#bar .tb')).map(function (b) {"
                              "var r = b.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2,"
                              "Math.min(r.width, r.height), r.bottom <= innerHeight]; })")
            self.assertEqual(len(buttons), 6)
            for b in buttons:
                self.assertGreaterEqual(b[2], 57)  # 9 mm at a phone's 160 CSS pixels an inch
                self.assertTrue(b[3], "a button below the screen")

            self.tap(buttons[0][0], buttons[0][1])
            self.wait("return Module.quarrionMenuState() & 1")
            self.assertEqual(self.js("return Module.quarrionMenuState() & 2"), 0, "the new game is paused")
            self.assertEqual(self.lanes()[0], 2)
            # A tile in flight two lanes away: the tap moves one lane at once.
            target = None
            for _ in range(100):
                self.js("Module.quarrionTick(4)")
                paddle, tile = self.lanes()
                if tile >= 0 and abs(tile - 2) == 2:
                    target = tile
                    break
            self.assertIsNotNone(target, "no tile two lanes away")
            self.tap_lane(target)
            self.assertEqual(self.lanes()[0], (2 + target) // 2, "the paddle jumped")
            self.js("Module.quarrionTick(40)")
            self.assertEqual(self.lanes()[0], target)
            self.wait("Module.quarrionTick(5); return Module.quarrionEffects.indexOf('CAUGHT') >= 0")
            self.tap_lane(target)
            effects = self.js("return Module.quarrionEffects")
            self.assertEqual(effects.count("BUTTONCLICK"), 1, effects)
            self.assertEqual(effects.count("DROPPED"), 1, effects)
            self.assertEqual(self.errors(), [])
        finally:
            self.d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
            self.d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    failed = len({test.id() for test, _ in result.failures + result.errors})
    print("web: %d passed, %d failed" % (result.testsRun - failed, failed))
    sys.exit(1 if failed else 0)
