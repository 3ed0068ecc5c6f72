#!/usr/bin/python3
"""The web remote in a real browser: headless Chromium driven by Selenium
against qz7rack and simulated recorders, all on loopback.

    web_browser_test.py QZ7RACK QZ7SIM OUTDIR            the browser checks
    web_browser_test.py QZ7RACK QZ7SIM OUTDIR --latency N  also measure N updates

Deck studio-a reaches its simulator through a relay in this script, so the
test sees every packet on the wire: the PLAY and REC commands, and the time
each timecode reply left for the deck. Screenshots go to OUTDIR.
Exit 77: Chromium or Selenium is not installed (ctest shows it skipped).
"""
import http.server
import json
import os
import select
import shutil
import socket
import statistics
import subprocess
import sys
import threading
import time
import urllib.request

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
except ImportError:
    print("SKIP: python3-selenium is not installed")
    sys.exit(77)

# Addresses of this test only (other suites use other 127.0.x ranges).
RELAY = "127.0.121.1"      # studio-a as the rack sees it
SIM_A = "127.0.121.2"      # studio-a's simulator, behind the relay
SIM_B = "127.0.122.1"      # studio-b, direct
FOREIGN = "127.0.123.1"    # another site's page
PORT = 20000

LEAD, OPERATE, ANSWER = 0x3E, 0x34, 0x37
PLAY, REC, OPEN_FILE, TIMECODE_REPLY = 0x01, 0x02, 0x50, 0x04


def bcd(b):
    return "%02d" % ((b >> 4) * 10 + (b & 0x0F))


class Relay(threading.Thread):
    """Stands at RELAY:20000 for the simulator at SIM_A:20000 and notes
    commands going in and timecode replies going out, with the time."""

    def __init__(self):
        super().__init__(daemon=True)
        self.front = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.front.bind((RELAY, PORT))
        self.back = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.back.bind((RELAY, 0))
        self.client = None
        self.lock = threading.Lock()
        self.commands = []   # (time ms, code) of operate packets
        self.replies = []    # (time ms, "hh:mm:ss:ff") of timecode replies as relayed
        self.running = True

    def run(self):
        while self.running:
            ready, _, _ = select.select([self.front, self.back], [], [], 0.2)
            for s in ready:
                data, sender = s.recvfrom(8192)
                if s is self.front:
                    self.client = sender
                    if len(data) >= 4 and data[0] == LEAD and data[2] == OPERATE:
                        with self.lock:
                            self.commands.append((time.time() * 1000, data[3]))
                    self.back.sendto(data, (SIM_A, PORT))
                elif self.client:
                    self.front.sendto(data, self.client)
                    if len(data) == 9 and data[0] == LEAD and data[2] == ANSWER and data[3] == TIMECODE_REPLY:
                        tc = "%s:%s:%s:%s" % (bcd(data[7] & 0x3F), bcd(data[6] & 0x7F), bcd(data[5] & 0x7F), bcd(data[4] & 0x3F))
                        with self.lock:
                            self.replies.append((time.time() * 1000, tc))

    def count(self, code):
        with self.lock:
            return sum(1 for _, c in self.commands if c == code)


class Fail(Exception):
    pass


def wait_for(what, check, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        try:
            value = check()
            if value:
                return value
        except Exception:  # an element between two renders
            pass
        time.sleep(0.05)
    raise Fail("timed out: " + what)


class Programs:
    def __init__(self, rack, sim, outdir):
        self.rack_path, self.sim_path, self.outdir = rack, sim, outdir
        self.sims = {}
        self.rack = None
        self.port = 0
        self.starts = 0

    def start_sim(self, address, *extra):
        self.sims[address] = subprocess.Popen([self.sim_path, "--bind", address, *extra],
                                              stderr=open(os.path.join(self.outdir, "sim-%s.err" % address), "w"))

    def stop_sim(self, address):
        p = self.sims.pop(address)
        p.terminate()
        p.wait(5)

    def start_rack(self, port=0):
        self.starts += 1
        err = os.path.join(self.outdir, "rack-%d.err" % self.starts)
        self.rack = subprocess.Popen([self.rack_path, "--deck", "studio-a=" + RELAY, "--deck", "studio-b=" + SIM_B,
                                      "--http", str(port)], stderr=open(err, "w"))

        def listening():
            with open(err) as f:
                for line in f:
                    if "web remote on http://127.0.0.1:" in line:
                        return int(line.rsplit(":", 1)[1].strip().rstrip("/"))
            if self.rack.poll() is not None:
                raise Fail("qz7rack ended: " + open(err).read())
            return 0
        self.port = wait_for("qz7rack listening", listening)

    def stop_rack(self):
        self.rack.terminate()
        if self.rack.wait(10) != 0:
            raise Fail("qz7rack ended with status %d on SIGTERM" % self.rack.returncode)

    def stop_all(self):
        if self.rack and self.rack.poll() is None:
            self.rack.kill()
        for p in self.sims.values():
            p.kill()


def browser(width, height):
    options = webdriver.ChromeOptions()
    options.add_argument("--headless=new")
    # The test runs as root in CI containers, where Chromium's sandbox cannot start.
    options.add_argument("--no-sandbox")
    options.add_argument("--disable-dev-shm-usage")
    options.add_argument("--window-size=%d,%d" % (width, height))
    options.binary_location = shutil.which("chromium")
    return webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)


def tile(driver, deck):
    return driver.find_element(By.CSS_SELECTOR, 'section.tile[data-deck="%s"]' % deck)


def text(driver, deck, part):
    return tile(driver, deck).find_element(By.CSS_SELECTOR, part).text


def button(driver, deck, label):
    for b in tile(driver, deck).find_elements(By.TAG_NAME, "button"):
        if b.text.strip() == label:
            return b
    raise Fail("no button " + label)


def foreign_page_cannot_connect(driver, port, outdir):
    """A page of another origin, open in the same browser, tries the socket."""
    page = ("<!DOCTYPE html><title>foreign</title><p id=r>pending</p><script>"
            "const w = new WebSocket('ws://127.0.0.1:%d/ws');"
            "w.onopen = () => document.getElementById('r').textContent = 'OPEN';"
            "w.onerror = () => document.getElementById('r').textContent = 'REFUSED';"
            "</script>" % port).encode()

    class Page(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            self.wfile.write(page)

        def log_message(self, *args):
            pass
    # Threaded: a connection Chromium opens ahead and leaves idle must not
    # hold the page's own request behind it.
    server = http.server.ThreadingHTTPServer((FOREIGN, 0), Page)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        driver.get("http://%s:%d/" % (FOREIGN, server.server_port))
        result = wait_for("the foreign page's socket to settle",
                          lambda: driver.find_element(By.ID, "r").text if driver.find_element(By.ID, "r").text != "pending" else None)
        if result != "REFUSED":
            raise Fail("a page of another origin opened the socket: " + result)
    finally:
        server.shutdown()


def percentile(values, p):
    values = sorted(values)
    k = min(len(values) - 1, max(0, int(round(p / 100.0 * len(values) + 0.5)) - 1))
    return values[k]


def measure(driver, relay, updates):
    """Reply leaving (the relay) to the DOM showing it, and tap to packet."""
    driver.execute_script("window.qz7Trace = []; window.qz7Taps = [];")
    with relay.lock:
        relay.replies.clear()
        relay.commands.clear()
    button(driver, "studio-a", "PLAY").click()
    started = time.time()
    wait_for("%d timecode updates" % updates,
             lambda: driver.execute_script(
                 "return window.qz7Trace.filter(t => t[0] === 'studio-a').length") >= updates + 20,
             timeout=updates / 10.0 + 30)
    trace = driver.execute_script("return window.qz7Trace.filter(t => t[0] === 'studio-a');")
    print("latency: %d updates in %.1f s" % (len(trace), time.time() - started))
    with relay.lock:
        replies = list(relay.replies)
    first_left = {}
    for t, tc in replies:
        first_left.setdefault(tc, t)
    shown = {}
    for _, tc, t in trace:
        shown.setdefault(tc, t)
    delays = [shown[tc] - first_left[tc] for tc in shown if tc in first_left and shown[tc] >= first_left[tc]]
    # Taps: STOP and PLAY in turn, each from the click to its packet on the wire.
    taps = []
    for k in range(20):
        label = "STOP" if k % 2 == 0 else "PLAY"
        code = 0x00 if label == "STOP" else PLAY
        before = relay.count(code)
        driver.execute_script("window.qz7Taps = [];")
        button(driver, "studio-a", label).click()
        wait_for("the %s packet" % label, lambda: relay.count(code) > before)
        tapped = driver.execute_script("return window.qz7Taps[0][1];")
        with relay.lock:
            sent = [t for t, c in relay.commands if c == code][-1]
        taps.append(sent - tapped)
    return delays, taps


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    rack, sim, outdir = sys.argv[1:4]
    latency = int(sys.argv[5]) if len(sys.argv) > 5 and sys.argv[4] == "--latency" else 0
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        print("SKIP: chromium or chromium-driver is not installed")
        return 77
    os.makedirs(outdir, exist_ok=True)
    programs = Programs(rack, sim, outdir)
    relay = Relay()
    relay.start()
    driver = None
    try:
        programs.start_sim(SIM_A, "--files", "4", "--clips", "3", "--cues", "2")
        programs.start_sim(SIM_B, "--files", "2")
        programs.start_rack()
        base = "http://127.0.0.1:%d/" % programs.port
        driver = browser(1024, 768)
        driver.get(base)

        # The page loads with a tile per deck, both linked.
        wait_for("two tiles", lambda: len(driver.find_elements(By.CSS_SELECTOR, "section.tile")) == 2)
        for deck, host in (("studio-a", RELAY), ("studio-b", SIM_B)):
            wait_for(deck + " LINK OK", lambda: text(driver, deck, ".lamp") == "LINK OK " + host)
        print("ok: the page shows both decks, LINK OK")

        # PLAY puts the play packet on the wire; the timecode advances.
        played = relay.count(PLAY)
        button(driver, "studio-a", "PLAY").click()
        wait_for("the play packet", lambda: relay.count(PLAY) > played)
        wait_for("PLAY shown", lambda: text(driver, "studio-a", ".transport") == "PLAY")
        first = text(driver, "studio-a", ".timecode")
        wait_for("the timecode to advance", lambda: text(driver, "studio-a", ".timecode") > first)
        print("ok: PLAY went out; timecode %s -> %s" % (first, text(driver, "studio-a", ".timecode")))

        # A short tap on REC does nothing; held a second, it records.
        rec = tile(driver, "studio-a").find_element(By.CSS_SELECTOR, "button.rec")
        ActionChains(driver).click_and_hold(rec).pause(0.4).release().perform()
        time.sleep(1.0)
        if relay.count(REC) != 0:
            raise Fail("a short tap on REC recorded")
        ActionChains(driver).click_and_hold(rec).pause(1.3).release().perform()
        wait_for("the rec packet", lambda: relay.count(REC) == 1)
        wait_for("the REC tally", lambda: "lit" in tile(driver, "studio-a").find_element(
            By.CSS_SELECTOR, ".tally").get_attribute("class"))
        print("ok: REC: a short tap sent nothing, a one-second hold recorded")

        # The event log's view: who did what, and what the recorder did.
        def events():
            return tile(driver, "studio-a").find_element(By.CSS_SELECTOR, ".eventlist").get_attribute("textContent")
        wait_for("the play in the events", lambda: "web 127.0.0.1  play  queued" in events())
        wait_for("the recording in the events", lambda: "recorder  rec/start" in events())
        print("ok: the events show the web client's play and the recorder's REC start")

        # The lists: RETRIEVE fills them; a tap only selects, OPEN opens the selection.
        button(driver, "studio-a", "STOP").click()
        wait_for("STOP shown", lambda: text(driver, "studio-a", ".transport") == "STOP")
        button(driver, "studio-a", "RETRIEVE").click()
        lines = lambda: [li.text for li in tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".list li")]
        wait_for("the file list", lambda: any("FILE 002" in line for line in lines()))
        second = tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".list li")[1]
        second.click()
        time.sleep(0.3)
        if relay.count(OPEN_FILE) != 0:
            raise Fail("a tap on a list line sent a command")
        button(driver, "studio-a", "OPEN").click()
        wait_for("the open-file packet", lambda: relay.count(OPEN_FILE) == 1)
        wait_for("file 2 open", lambda: "002" in text(driver, "studio-a", ".number"))
        print("ok: RETRIEVE filled the file list; a tap selected line 2, OPEN opened file 2")
        button(driver, "studio-a", "PLAY").click()
        driver.execute_script("window.scrollTo(0, 0)")
        time.sleep(0.5)
        # The viewport exactly at the tablet's and the phone's size.
        for width, height, mobile in ((1024, 768, False), (390, 844, True)):
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
            driver.execute_script("window.scrollTo(0, 0)")
            time.sleep(0.3)
            driver.get_screenshot_as_file(os.path.join(outdir, "web-%dx%d.png" % (width, height)))
            small = driver.execute_script(
                "return [...document.querySelectorAll('section.tile button, section.tile select, .list li')]"
                ".map(e => [e.textContent.trim().slice(0, 12), e.getBoundingClientRect()])"
                ".filter(([t, r]) => r.width < 44 || r.height < 44).map(([t, r]) => t + ' ' + r.width + 'x' + r.height);")
            if small:
                raise Fail("touch targets under 44 px at %dx%d: %s" % (width, height, ", ".join(small[:5])))
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        print("ok: screenshots in " + outdir)

        # The recorder falls silent: NO REPLY.
        programs.stop_sim(SIM_B)
        wait_for("NO REPLY", lambda: text(driver, "studio-b", ".lamp").startswith("NO REPLY"))
        print("ok: the lamp says " + text(driver, "studio-b", ".lamp"))

        # The server stops: DISCONNECTED, greyed out; it comes back, the page too.
        port = programs.port
        programs.stop_rack()
        wait_for("DISCONNECTED", lambda: driver.find_element(By.ID, "banner").is_displayed())
        if driver.find_element(By.ID, "banner").text != "DISCONNECTED, retrying":
            raise Fail("banner text: " + driver.find_element(By.ID, "banner").text)
        if "stale" not in driver.find_element(By.ID, "decks").get_attribute("class"):
            raise Fail("the tiles are not greyed out while disconnected")
        driver.execute_script("window.scrollTo(0, 0)")
        driver.get_screenshot_as_file(os.path.join(outdir, "web-disconnected.png"))
        programs.start_rack(port)
        wait_for("reconnected", lambda: not driver.find_element(By.ID, "banner").is_displayed(), timeout=15)
        wait_for("studio-a live again", lambda: text(driver, "studio-a", ".lamp") == "LINK OK " + RELAY)
        print("ok: DISCONNECTED while the server was down; the page recovered")

        # A page from another origin cannot open the socket.
        foreign_page_cannot_connect(driver, programs.port, outdir)
        print("ok: a page of another origin could not open the socket")

        if latency:
            driver.get(base)
            wait_for("studio-a live", lambda: text(driver, "studio-a", ".lamp") == "LINK OK " + RELAY)
            delays, taps = measure(driver, relay, latency)
            if len(delays) < latency:
                raise Fail("only %d updates matched" % len(delays))
            print("latency: reply to DOM over %d updates: p50 %.1f ms, p99 %.1f ms, max %.1f ms" %
                  (len(delays), percentile(delays, 50), percentile(delays, 99), max(delays)))
            print("latency: tap to packet over %d taps: p50 %.1f ms, p99 %.1f ms, max %.1f ms" %
                  (len(taps), percentile(taps, 50), percentile(taps, 99), max(taps)))
        programs.stop_rack()
        return 0
    except Fail as e:
        print("FAIL: %s" % e)
        if driver:
            driver.get_screenshot_as_file(os.path.join(outdir, "web-failure.png"))
        for name in sorted(os.listdir(outdir)):
            if name.endswith(".err"):
                print("--- " + name)
                print(open(os.path.join(outdir, name)).read()[-3000:])
        return 1
    finally:
        if driver:
            driver.quit()
        programs.stop_all()
        relay.running = False


if __name__ == "__main__":
    sys.exit(main())
