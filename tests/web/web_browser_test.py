#!/usr/bin/python3
"""The web remote in a real browser: headless Chromium driven by Selenium
against qz7rack and simulated recorders, all on loopback.

    web_browser_test.py QZ7RACK QZ7SIM OUTDIR            the browser checks
    web_browser_test.py QZ7RACK QZ7SIM OUTDIR --latency N  also measure N updates

Deck studio-a reaches its simulator through a relay in this script, so the
test sees every packet on the wire: the PLAY and REC commands, and the time
each timecode reply left for the deck. studio-b, -c and -d answer directly
(studio-c ignores REC); a second rack of eight decks shows the overview at a
tablet's size. Screenshots go to OUTDIR.
Exit 77: Chromium or Selenium is not installed (ctest shows it skipped).
"""
import http.server
import json
import os
import select
import signal
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
SIM_C = "127.0.122.2"      # studio-c, direct, ignores REC
SIM_D = "127.0.122.3"      # studio-d, direct, no files
EIGHT = ["127.0.122.%d" % (11 + k) for k in range(8)]  # the rack of eight
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

    def signal_sim(self, address, sig):
        self.sims[address].send_signal(sig)

    def start_rack(self, port=0, decks=None):
        """The rack of four (studio-a..d), or the decks given: (name, address)."""
        self.starts += 1
        err = os.path.join(self.outdir, "rack-%d.err" % self.starts)
        decks = decks or [("studio-a", RELAY), ("studio-b", SIM_B), ("studio-c", SIM_C), ("studio-d", SIM_D)]
        args = [a for name, address in decks for a in ("--deck", name + "=" + address)]
        rack = subprocess.Popen([self.rack_path, *args, "--http", str(port)], stderr=open(err, "w"))

        def listening():
            with open(err) as f:
                for line in f:
                    if "web remote on http://127.0.0.1:" in line:
                        return int(line.rsplit(":", 1)[1].strip().rstrip("/"))
            if rack.poll() is not None:
                raise Fail("qz7rack ended: " + open(err).read())
            return 0
        port = wait_for("qz7rack listening", listening)
        if decks[0][1] == RELAY:
            self.rack, self.port = rack, port
        return rack, port

    def stop_rack(self, rack=None):
        rack = rack or self.rack
        rack.terminate()
        if rack.wait(10) != 0:
            raise Fail("qz7rack ended with status %d on SIGTERM" % rack.returncode)

    def stop_all(self, others=()):
        for rack in [self.rack, *others]:
            if rack and rack.poll() is None:
                rack.kill()
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


def card(driver, deck):
    return driver.find_element(By.CSS_SELECTOR, 'section.card[data-deck="%s"]' % deck)


def text(driver, deck, part, of=tile):
    return of(driver, deck).find_element(By.CSS_SELECTOR, part).text


def button(driver, deck, label, of=tile):
    for b in of(driver, deck).find_elements(By.TAG_NAME, "button"):
        if b.text.strip() == label:
            return b
    raise Fail("no button " + label)


def hold(driver, element, seconds):
    ActionChains(driver).click_and_hold(element).pause(seconds).release().perform()


def show(driver, where):
    """Goes to a view by its URL, as a reload or a bookmark does."""
    driver.execute_script("location.hash = arguments[0]", where)
    wait_for("the view " + where, lambda: driver.execute_script(
        "return document.getElementById(arguments[0]).hidden === false", "overview" if where == "#overview" else "decks"))


def numbers(driver, deck):
    """The numbers the shown list gives its entries, and whether a blank line shows."""
    items = tile(driver, deck).find_elements(By.CSS_SELECTOR, ".list li")
    return [li.find_element(By.CSS_SELECTOR, ".no").text for li in items if li.get_attribute("data-index") is not None]


def events_of(driver, deck):
    """The event objects the page holds for the deck, as the server sent them."""
    return driver.execute_script("return decks.get(arguments[0]).events", deck)


def spy(driver):
    """From now on, every message the page sends is kept in window.qz7Sent."""
    driver.execute_script(
        "window.qz7Sent = []; if (!WebSocket.prototype.qz7Spied) { const send = WebSocket.prototype.send;"
        " WebSocket.prototype.send = function (m) { window.qz7Sent.push(JSON.parse(m)); return send.call(this, m); };"
        " WebSocket.prototype.qz7Spied = true; }")


def viewport(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})
    time.sleep(0.3)


def small_targets(driver):
    return driver.execute_script(
        "return [...document.querySelectorAll('button, select, .list li, .pick, a')].filter(e => e.offsetParent)"
        ".map(e => [e.textContent.trim().slice(0, 12), e.getBoundingClientRect()])"
        ".filter(([t, r]) => r.width < 44 || r.height < 44).map(([t, r]) => t + ' ' + r.width + 'x' + r.height);")


def overview_fits(driver, width, height, count, outdir):
    """Every deck's card on the screen at once: no page scroll, no card cut off."""
    viewport(driver, width, height)
    show(driver, "#overview")
    wait_for("%d cards" % count, lambda: len(driver.find_elements(By.CSS_SELECTOR, "section.card")) == count)
    wait_for("every deck LINK OK", lambda: all(
        c.find_element(By.CSS_SELECTOR, ".lamp").text == "LINK OK" for c in driver.find_elements(By.CSS_SELECTOR, "section.card")))
    page, inner, cut = driver.execute_script(
        "return [document.scrollingElement.scrollHeight, innerHeight, [...document.querySelectorAll('section.card')]"
        ".filter(c => c.scrollHeight > c.clientHeight || c.scrollWidth > c.clientWidth"
        " || c.getBoundingClientRect().bottom > innerHeight || c.getBoundingClientRect().right > innerWidth)"
        ".map(c => c.dataset.deck)]")
    if page > inner or cut:
        raise Fail("the overview of %d at %dx%d scrolls (%d > %d) or cuts %s" % (count, width, height, page, inner, cut))
    small = small_targets(driver)
    if small:
        raise Fail("touch targets under 44 px at %dx%d: %s" % (width, height, ", ".join(small[:5])))
    driver.get_screenshot_as_file(os.path.join(outdir, "web-overview-%d-%dx%d.png" % (count, width, height)))


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
    eight = None
    try:
        programs.start_sim(SIM_A, "--files", "4", "--clips", "6", "--clip-gaps", "2,3", "--cues", "3", "--cue-gaps", "1")
        programs.start_sim(SIM_B, "--files", "2")
        programs.start_sim(SIM_C, "--files", "1", "--refuse-rec")
        programs.start_sim(SIM_D, "--stall-for", "3000")
        programs.start_rack()
        base = "http://127.0.0.1:%d/" % programs.port
        driver = browser(1024, 768)
        driver.get(base)

        # The page opens on the overview; each deck's card, all four on a phone.
        wait_for("the overview in the URL", lambda: driver.current_url.endswith("#overview"))
        overview_fits(driver, 390, 844, 4, outdir)
        overview_fits(driver, 1024, 768, 4, outdir)
        print("ok: the overview of four fits 390x844 and 1024x768 without scrolling")

        # A tap on a card opens the deck's controls; a reload keeps them.
        card(driver, "studio-a").find_element(By.CSS_SELECTOR, ".open").click()
        wait_for("studio-a's controls", lambda: tile(driver, "studio-a").is_displayed())
        if not driver.current_url.endswith("#deck=studio-a"):
            raise Fail("the URL does not name the deck: " + driver.current_url)
        driver.refresh()
        wait_for("studio-a's controls after a reload", lambda: tile(driver, "studio-a").is_displayed()
                 and text(driver, "studio-a", ".lamp") == "LINK OK " + RELAY)
        if driver.find_element(By.ID, "overview").is_displayed():
            raise Fail("the overview shows beside the deck's controls")
        print("ok: a tap on a card opened #deck=studio-a, a reload kept it")

        # PLAY puts the play packet on the wire; the timecode advances.
        played = relay.count(PLAY)
        button(driver, "studio-a", "PLAY").click()
        wait_for("the play packet", lambda: relay.count(PLAY) > played)
        wait_for("PLAY shown", lambda: text(driver, "studio-a", ".transport") == "PLAY")
        first = text(driver, "studio-a", ".timecode")
        wait_for("the timecode to advance", lambda: text(driver, "studio-a", ".timecode") > first)
        print("ok: PLAY went out; timecode %s -> %s" % (first, text(driver, "studio-a", ".timecode")))

        # A short tap on REC does nothing; held a second, it records, and the
        # new file is in the list at once, before any RETRIEVE.
        rec = tile(driver, "studio-a").find_element(By.CSS_SELECTOR, "button.rec")
        hold(driver, rec, 0.4)
        time.sleep(1.0)
        if relay.count(REC) != 0:
            raise Fail("a short tap on REC recorded")
        hold(driver, rec, 1.3)
        wait_for("the rec packet", lambda: relay.count(REC) == 1)
        wait_for("the REC tally", lambda: "lit" in tile(driver, "studio-a").find_element(
            By.CSS_SELECTOR, ".tally").get_attribute("class"))
        wait_for("the file number", lambda: "FILE" in text(driver, "studio-a", ".number"))
        recording = "%03d" % int("".join(c for c in text(driver, "studio-a", ".number") if c.isdigit()))
        wait_for("file %s in the list" % recording, lambda: [li.find_element(By.CSS_SELECTOR, ".no").text for li in
                 tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".list li") if li.find_elements(By.CSS_SELECTOR, ".recmark")] == [recording])
        print("ok: REC: a short tap sent nothing, a one-second hold recorded; file %s listed before RETRIEVE" % recording)

        # The event log's view: who did what, and what the recorder did, in words.
        def lines():
            return [li.get_attribute("textContent") for li in tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".eventlist li")]
        wait_for("the play in the events", lambda: any("web 127.0.0.1" in line and "play" in line.lower() for line in lines()))
        wait_for("the recording in the events", lambda: any("REC" in line and "start" in line for line in lines()))
        wait_for("the recorder's word in the events", lambda: any("recorder" in line and "PLAY" in line for line in lines()))
        print("ok: the events show the web client's play and the recorder's REC start")

        # The lists: only filled entries, numbered as the panel numbers them.
        button(driver, "studio-a", "STOP").click()
        wait_for("STOP shown", lambda: text(driver, "studio-a", ".transport") == "STOP")
        button(driver, "studio-a", "RETRIEVE").click()
        wait_for("the file list", lambda: numbers(driver, "studio-a")[:2] == ["001", "002"])
        button(driver, "studio-a", "CLIPS").click()
        wait_for("clips 0, 1, 4 and 5", lambda: numbers(driver, "studio-a") == ["000", "001", "004", "005"])
        button(driver, "studio-a", "CUES").click()
        wait_for("cues 0 and 2", lambda: numbers(driver, "studio-a") == ["000", "002"])
        # CUE goes to the preroll before the mark, SRH to the mark: one op each.
        tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".list li")[0].click()
        button(driver, "studio-a", "CUE").click()
        button(driver, "studio-a", "SRH").click()
        for op in ("cue/cue", "cue/search"):
            wait_for(op + " 0 in the log", lambda: any(
                e.get("op") == op and e.get("origin") == "web 127.0.0.1" and e.get("outcome") == "queued"
                and (e.get("args") or {}).get("number") == 0 for e in events_of(driver, "studio-a")))
        button(driver, "studio-a", "FILES").click()
        second = tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".list li")[1]
        second.click()
        time.sleep(0.3)
        if relay.count(OPEN_FILE) != 0:
            raise Fail("a tap on a list line sent a command")
        button(driver, "studio-a", "OPEN").click()
        wait_for("the open-file packet", lambda: relay.count(OPEN_FILE) == 1)
        wait_for("file 2 open", lambda: "002" in text(driver, "studio-a", ".number"))
        links = [a.get_attribute("href").split("/api/")[-1] for a in tile(driver, "studio-a").find_elements(By.CSS_SELECTOR, ".downloads a")]
        if links != ["decks/studio-a/" + f for f in ("files.csv", "clips.csv", "clips.edl", "cues.csv", "cues.edl", "sequences.csv")]:
            raise Fail("download links: %s" % links)
        show(driver, "#deck=studio-d")
        wait_for("studio-d's empty list", lambda: text(driver, "studio-d", ".list") == "No recorded files")
        print("ok: the lists hold filled entries only (clips 0 1 4 5, cues 0 2), CUE and SRH sent cue/cue and cue/search")

        # A REC the recorder does not carry out says so beside the transport.
        show(driver, "#deck=studio-c")
        hold(driver, tile(driver, "studio-c").find_element(By.CSS_SELECTOR, "button.rec"), 1.3)
        wait_for("REC not confirmed", lambda: text(driver, "studio-c", ".outcome") == "REC not confirmed: recorder shows STOP")
        print("ok: " + text(driver, "studio-c", ".outcome"))

        # The full view at the tablet's and the phone's size.
        show(driver, "#deck=studio-a")
        button(driver, "studio-a", "PLAY").click()
        for width, height in ((1024, 768), (390, 844)):
            viewport(driver, width, height)
            driver.execute_script("window.scrollTo(0, 0)")
            driver.get_screenshot_as_file(os.path.join(outdir, "web-%dx%d.png" % (width, height)))
            small = small_targets(driver)
            if small:
                raise Fail("touch targets under 44 px at %dx%d: %s" % (width, height, ", ".join(small[:5])))
        viewport(driver, 1024, 768)
        print("ok: screenshots in " + outdir)

        # A roll: three decks chosen, REC held once: one command for all three,
        # each deck's outcome on its card and one line for the roll.
        show(driver, "#overview")
        for deck in ("studio-a", "studio-b", "studio-c"):
            card(driver, deck).find_element(By.CSS_SELECTOR, ".pick").click()
        spy(driver)
        recs = relay.count(REC)
        hold(driver, driver.find_element(By.CSS_SELECTOR, "#overview .rollrec"), 1.3)
        wait_for("the roll's outcome", lambda: "of 3 recording" in driver.find_element(By.CSS_SELECTOR, "#overview .summary").text
                 and "pending" not in driver.find_element(By.CSS_SELECTOR, "#overview .summary").get_attribute("class"))
        sent = driver.execute_script("return window.qz7Sent")
        if [(m.get("op"), m.get("decks")) for m in sent] != [("rec", ["studio-a", "studio-b", "studio-c"])]:
            raise Fail("the roll sent %s" % sent)
        summary = driver.find_element(By.CSS_SELECTOR, "#overview .summary").text
        if summary != "2 of 3 recording; studio-c not confirmed (STOP)":
            raise Fail("the roll's line: " + summary)
        if relay.count(REC) != recs + 1:
            raise Fail("studio-a got %d REC packets from the roll" % (relay.count(REC) - recs))
        if "REC not confirmed" not in text(driver, "studio-c", ".outcome", of=card):
            raise Fail("studio-c's card: " + text(driver, "studio-c", ".outcome", of=card))
        print("ok: the roll sent one command: " + summary)

        # The recorder's own panel stops studio-b: an alarm until acknowledged.
        time.sleep(2.5)  # the deck takes a stop soon after its own REC for its own
        programs.signal_sim(SIM_B, signal.SIGUSR2)
        wait_for("the alarm on studio-b's card", lambda: "REC stopped" in text(driver, "studio-b", ".alarm", of=card))
        show(driver, "#deck=studio-b")
        wait_for("the alarm in studio-b's controls", lambda: "REC stopped" in text(driver, "studio-b", ".alarm"))
        driver.get_screenshot_as_file(os.path.join(outdir, "web-alarm.png"))
        alarm = text(driver, "studio-b", ".alarmtext")
        show(driver, "#overview")
        button(driver, "studio-b", "ACK", of=card).click()
        wait_for("the alarm gone", lambda: not card(driver, "studio-b").find_element(By.CSS_SELECTOR, ".alarm").is_displayed())
        wait_for("the acknowledgement in the log", lambda: any(e.get("op") == "alarm/ack" and e.get("origin") == "web 127.0.0.1"
                                                               for e in events_of(driver, "studio-b")))
        print("ok: the alarm \"%s\" stayed until acknowledged" % alarm)

        # studio-d falls silent and comes back: its lists may be out of date.
        show(driver, "#deck=studio-d")
        programs.signal_sim(SIM_D, signal.SIGUSR1)
        wait_for("studio-d NO REPLY", lambda: text(driver, "studio-d", ".lamp").startswith("NO REPLY"))
        wait_for("studio-d back", lambda: text(driver, "studio-d", ".lamp") == "LINK OK " + SIM_D)
        wait_for("the warning", lambda: tile(driver, "studio-d").find_element(By.CSS_SELECTOR, ".outdated").is_displayed())
        spy(driver)
        button(driver, "studio-d", "RETRIEVE", of=lambda d, n: tile(d, n).find_element(By.CSS_SELECTOR, ".outdated")).click()
        wait_for("the warning gone", lambda: not tile(driver, "studio-d").find_element(By.CSS_SELECTOR, ".outdated").is_displayed())
        if [m.get("op") for m in driver.execute_script("return window.qz7Sent")] != ["retrieve"]:
            raise Fail("the warning's button sent %s" % driver.execute_script("return window.qz7Sent"))
        print("ok: after NO REPLY the page said the lists may be out of date; its RETRIEVE retrieved")

        # The recorder falls silent: NO REPLY.
        show(driver, "#overview")
        programs.stop_sim(SIM_B)
        wait_for("NO REPLY", lambda: text(driver, "studio-b", ".lamp", of=card).startswith("NO REPLY"))
        print("ok: the lamp says " + text(driver, "studio-b", ".lamp", of=card))

        # The server stops: DISCONNECTED, greyed out; it comes back, the page too.
        port = programs.port
        programs.stop_rack()
        wait_for("DISCONNECTED", lambda: driver.find_element(By.ID, "banner").is_displayed())
        if driver.find_element(By.ID, "banner").text != "DISCONNECTED, retrying":
            raise Fail("banner text: " + driver.find_element(By.ID, "banner").text)
        if "stale" not in driver.find_element(By.ID, "overview").get_attribute("class"):
            raise Fail("the cards are not greyed out while disconnected")
        driver.get_screenshot_as_file(os.path.join(outdir, "web-disconnected.png"))
        programs.start_rack(port)
        wait_for("reconnected", lambda: not driver.find_element(By.ID, "banner").is_displayed(), timeout=15)
        wait_for("studio-a live again", lambda: text(driver, "studio-a", ".lamp", of=card) == "LINK OK")
        print("ok: DISCONNECTED while the server was down; the page recovered")

        # A rack of eight on a tablet.
        for address in EIGHT:
            programs.start_sim(address)
        eight, eight_port = programs.start_rack(decks=[("deck-%d" % (k + 1), a) for k, a in enumerate(EIGHT)])
        driver.get("http://127.0.0.1:%d/" % eight_port)
        overview_fits(driver, 1024, 768, 8, outdir)
        programs.stop_rack(eight)
        print("ok: the overview of eight fits 1024x768 without scrolling")

        # A page from another origin cannot open the socket.
        foreign_page_cannot_connect(driver, programs.port, outdir)
        print("ok: a page of another origin could not open the socket")

        if latency:
            driver.get(base + "#deck=studio-a")
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
        programs.stop_all([eight])
        relay.running = False


if __name__ == "__main__":
    sys.exit(main())
