#!/usr/bin/env python3
"""The browser version's figures in headless Chromium on 127.0.0.1: the whole
download, the time from navigation to the title drawn, a tick's main-thread
time at zoom 1 (median, on the title and in play) and the music's rendering
as a share of one core. Usage: bench_web.py WEB_DIR [ROUNDS]"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
web_dir = os.path.abspath(sys.argv[1])
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
sys.argv = sys.argv[:2]
import test_web  # noqa: E402  (the tests' server and browser)

size = sum(os.path.getsize(os.path.join(web_dir, f)) for f in os.listdir(web_dir))
server = test_web.start_server()
base = "http://127.0.0.1:%d/index.html" % server.server_address[1]
driver, profile = test_web.start_browser()
loads, title_ticks, play_ticks, music = [], [], [], []
try:
    for _ in range(rounds):
        driver.get(base + "?zoom=1&seed=1")
        end = time.time() + 10
        while time.time() < end and not driver.execute_script("return Module.quarrionFirstDrawn"):
            time.sleep(0.02)
        loads.append(driver.execute_script("return Module.quarrionFirstDrawn"))
        time.sleep(3)
        title_ticks += driver.execute_script("return Module.quarrionTickTimes.slice(10)")
        driver.execute_script("Module.quarrionTickTimes.length = 0; Module.quarrionAudioUnlock();"
                              "Module.quarrionCommand(507); setTimeout(function () { Module.quarrionCommand(500); }, 0);")
        time.sleep(5)
        play_ticks += driver.execute_script("return Module.quarrionTickTimes.slice(10)")
        cost = driver.execute_script("return Module.quarrionMusicCost()")
        if cost["seconds"] > 0:
            music.append(100.0 * cost["ms"] / (cost["seconds"] * 1000.0))
finally:
    driver.quit()
    server.shutdown()


def median(values):
    return statistics.median(values) if values else float("nan")


print("download        %8.3f MB (%d bytes; target at most 1.5 MB)" % (size / 1e6, size))
print("title drawn     %8.1f ms after navigation (median of %d; target at most 1000)" % (median(loads), len(loads)))
print("tick, title     %8.3f ms main thread, median of %d ticks at zoom 1" % (median(title_ticks), len(title_ticks)))
print("tick, play      %8.3f ms main thread, median of %d ticks at zoom 1 (target at most 1)" % (median(play_ticks), len(play_ticks)))
print("music rendering %8.3f %% of one core (median of %d rounds; target at most 1)" % (median(music), len(music)))
