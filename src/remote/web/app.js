// The web remote's page, fed by the WebSocket /ws: an overview of every deck
// (#overview) and one deck's full controls (#deck=NAME); the view is kept in
// the URL so a reload or a tablet left on it shows the same. Nothing here is
// fetched from anywhere but this server.
"use strict";

const EVENTS_KEPT = 50;
const REC_HOLD_MS = 1000;
// An outcome line stays this long; one that says something went wrong longer.
const OUTCOME_MS = 4000;
const OUTCOME_WRONG_MS = 15000;
// A roll deck that was acknowledged but never reported a final outcome.
const ROLL_WAIT_MS = 5000;
const KINDS = {
  files: { number: (k) => k + 1, empty: "No recorded files", acts: { open: "file/open" } },
  clips: { number: (k) => k, empty: "No clips", acts: { open: "clip/open" } },
  cues: { number: (k) => k, empty: "No cue marks", acts: { cue: "cue/cue", search: "cue/search" } },
};
const ROLL_WORDS = { rec: "recording", play: "playing", stop: "stopped" };

const $ = (id) => document.getElementById(id);
const overviewEl = $("overview");
const cardsEl = $("cards");
const decksEl = $("decks");
const missingEl = $("missing");
const banner = $("banner");
const conn = $("conn");
const loginForm = $("login");

const decks = new Map();  // deck name -> { card, tile, state, lists, ... }
const rolls = new Map();  // command id -> roll in progress
let names = [];
let known = false;        // the server told its decks at least once
let socket = null;
let nextId = 1;
let retryMs = 500;
let shownRoll = null;

// When each timecode reached the page, and when each button was pressed: the
// latency measurement reads these.
window.qz7Trace = [];
window.qz7Taps = [];
function now() { return performance.timeOrigin + performance.now(); }

function setLive(live) {
  banner.hidden = live;
  decksEl.classList.toggle("stale", !live);
  overviewEl.classList.toggle("stale", !live);
  conn.textContent = live ? "CONNECTED" : "DISCONNECTED";
  conn.classList.toggle("live", live);
  // What was shown before the socket dropped is not live any more.
  if (!live) for (const d of decks.values()) setNotLive(d, true);
}

function setNotLive(d, on) {
  d.card.classList.toggle("notlive", on);
  d.tile.classList.toggle("notlive", on);
}

// Sends one command; its id, or 0 when the socket is not open.
function sendMessage(message) {
  if (!socket || socket.readyState !== WebSocket.OPEN) return 0;
  const id = nextId++;
  window.qz7Taps.push([message.op, now()]);
  socket.send(JSON.stringify(Object.assign({ id: id }, message)));
  return id;
}

function send(deck, op, args) {
  return sendMessage(Object.assign({ deck: deck, op: op }, args || {}));
}

// A button that acts only once held; an earlier release does nothing.
function holdToAct(button, act) {
  let timer = null;
  const cancel = () => { clearTimeout(timer); timer = null; button.classList.remove("holding"); };
  button.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    cancel();
    button.classList.add("holding");
    timer = setTimeout(() => { timer = null; button.classList.remove("holding"); act(); }, REC_HOLD_MS);
  });
  for (const ev of ["pointerup", "pointerleave", "pointercancel"]) button.addEventListener(ev, cancel);
  button.addEventListener("contextmenu", (e) => e.preventDefault());
}

// --- one deck: its overview card and its full tile

function makeDeck(name) {
  const card = $("cardTemplate").content.firstElementChild.cloneNode(true);
  const tile = $("tileTemplate").content.firstElementChild.cloneNode(true);
  card.dataset.deck = name;
  tile.dataset.deck = name;
  const d = {
    name: name, card: card, tile: tile, state: {}, kind: "files", selected: -1, events: [],
    lists: { files: [], clips: [], cues: [] }, alarm: "", staleLists: false, outcomeTimer: null,
  };
  const q = (s) => tile.querySelector(s);

  card.querySelector(".cname").textContent = name;
  card.querySelector(".open").href = "#deck=" + encodeURIComponent(name);
  card.querySelector(".pick input").addEventListener("change", showChosen);
  q(".name").textContent = name;
  for (const a of tile.querySelectorAll(".downloads a")) {
    a.href = "/api/decks/" + encodeURIComponent(name) + "/" + a.dataset.file;
    a.setAttribute("download", name + "-" + a.dataset.file);
  }

  for (const b of tile.querySelectorAll("button[data-op]")) {
    b.addEventListener("click", () => {
      const op = b.dataset.op;
      const args = op === "ff" || op === "rew" ? { item: Number(q(".speed").value) } : {};
      if (send(name, op, args) && op === "retrieve") setStaleLists(d, false);
    });
  }
  holdToAct(q(".rec"), () => send(name, "rec", { confirm: 1 }));
  for (const ack of [card.querySelector(".ack"), q(".ack")]) ack.addEventListener("click", () => send(name, "alarm/ack"));
  q(".outdated-retrieve").addEventListener("click", () => { if (send(name, "retrieve")) setStaleLists(d, false); });
  q(".outdated-dismiss").addEventListener("click", () => setStaleLists(d, false));

  for (const tab of tile.querySelectorAll(".tab")) {
    tab.addEventListener("click", () => {
      d.kind = tab.dataset.kind;
      d.selected = -1;
      for (const o of tile.querySelectorAll(".tab")) o.classList.toggle("selected", o === tab);
      renderList(d);
    });
  }
  // A tap only selects; the buttons below the list act on the selection.
  q(".list").addEventListener("click", (e) => {
    const li = e.target.closest("li[data-index]");
    if (!li) return;
    d.selected = Number(li.dataset.index);
    for (const o of q(".list").children) o.classList.toggle("selected", o === li);
  });
  for (const b of tile.querySelectorAll(".act")) {
    b.addEventListener("click", () => {
      if (d.selected < 0) { q(".reply").textContent = "select a line first"; return; }
      const kind = KINDS[d.kind];
      send(name, kind.acts[b.dataset.act], { number: kind.number(d.selected) });
    });
  }
  renderList(d);
  return d;
}

function showDecks(list) {
  names = list;
  known = true;
  for (const [name, d] of decks) {
    if (!list.includes(name)) { d.card.remove(); d.tile.remove(); decks.delete(name); }
  }
  for (const name of list) {
    if (!decks.has(name)) decks.set(name, makeDeck(name));
    const d = decks.get(name);
    cardsEl.appendChild(d.card);  // in the server's order
    decksEl.appendChild(d.tile);
  }
  showChosen();
  route();
}

function showState(s) {
  const d = decks.get(s.deck);
  if (!d) return;
  const was = d.state;
  d.state = s;
  const t = d.tile;
  const q = (sel) => t.querySelector(sel);
  const both = (sel, f) => { f(d.card.querySelector(sel)); f(t.querySelector(sel)); };
  q(".hosts").textContent = (s.hosts || []).join(", ");
  both(".lamp", (lamp) => { lamp.textContent = s.lamp; lamp.className = "lamp " + s.lampState; });
  // The card has room for the word, not the address (the full view has both).
  d.card.querySelector(".lamp").textContent = (s.lamp || "").replace(/ \S*[.:]\S*$/, "");
  d.card.querySelector(".lamp").title = s.lamp || "";
  both(".tally", (tally) => tally.classList.toggle("lit", s.rec === 1));
  d.card.classList.toggle("recording", s.rec === 1);
  q(".rec").classList.toggle("lit", s.rec === 1);
  both(".timecode", (tc) => { tc.textContent = s.timecode || "--:--:--:--"; });
  window.qz7Trace.push([s.deck, s.timecode, now()]);
  if (window.qz7Trace.length > 20000) window.qz7Trace.splice(0, 10000);
  both(".transport", (tr) => { tr.textContent = s.transport; });
  q(".number").textContent = s.number;
  q(".errtext").textContent = s.error;
  // Values from a recorder that stopped answering are the last ones received.
  setNotLive(d, s.link !== "OK");
  // Replies lost while the recorder was silent may have changed its lists.
  if (was.link === "NO REPLY" && s.link === "OK") setStaleLists(d, true);
  if (s.alarm !== undefined) showAlarm(d, s.alarm);
  // A new recording's file shows at once, before its name is read.
  if (d.kind === "files" && (s.rec !== was.rec || s.number !== was.number)) renderList(d);
}

function showAlarm(d, text) {
  d.alarm = text || "";
  for (const el of [d.card, d.tile]) {
    const box = el.querySelector(".alarm");
    box.hidden = !d.alarm;
    box.querySelector(".alarmtext").textContent = d.alarm;
    box.title = d.alarm;
    el.classList.toggle("alarmed", !!d.alarm);
  }
}

function setStaleLists(d, on) {
  d.staleLists = on;
  d.tile.querySelector(".outdated").hidden = !on;
}

// --- lists: only the entries that hold something, each with its number

// The file being recorded, from the status line ("REC FILE : 013"); 0 when none.
function recordingFile(s) {
  if (s.rec !== 1) return 0;
  const m = /FILE\D*(\d+)/.exec(s.number || "");
  return m ? Number(m[1]) : 0;
}

function entries(d) {
  const kind = KINDS[d.kind];
  const out = [];
  d.lists[d.kind].forEach((line, k) => { if (line.trim() !== "") out.push({ k: k, line: line }); });
  if (d.kind === "files") {
    const f = recordingFile(d.state);
    if (f > 0 && !out.some((e) => e.k === f - 1)) {
      out.push({ k: f - 1, line: "" });
      out.sort((a, b) => a.k - b.k);
    }
    for (const e of out) e.rec = kind.number(e.k) === f;
  }
  return out;
}

// A line's text without the number it may begin with (files and clips carry theirs).
function entryText(d, number, line) {
  if (d.kind === "cues") return line.trim();
  const m = /^\s*(\d+)\s?(\*?)\s*(.*)$/.exec(line);
  if (!m || Number(m[1]) !== number) return line.trim();
  return (m[2] ? "* " : "") + m[3].trim();
}

function renderList(d) {
  const t = d.tile;
  const list = t.querySelector(".list");
  const kind = KINDS[d.kind];
  for (const b of t.querySelectorAll(".act")) b.hidden = !kind.acts[b.dataset.act];
  const shown = entries(d);
  if (!shown.some((e) => e.k === d.selected)) d.selected = -1;
  const frag = document.createDocumentFragment();
  for (const e of shown) {
    const li = document.createElement("li");
    li.dataset.index = e.k;
    const number = kind.number(e.k);
    const no = document.createElement("span");
    no.className = "no";
    no.textContent = String(number).padStart(3, "0");
    const text = document.createElement("span");
    text.className = "text";
    text.textContent = entryText(d, number, e.line);
    if (!text.textContent) { text.textContent = e.rec ? "recording, name not read yet" : "(no name read)"; text.classList.add("dim"); }
    li.append(no, text);
    if (e.rec) {
      const mark = document.createElement("span");
      mark.className = "recmark";
      mark.textContent = "REC";
      li.append(mark);
    }
    if (e.k === d.selected) li.className = "selected";
    frag.appendChild(li);
  }
  if (!shown.length) {
    const li = document.createElement("li");
    li.className = "empty";
    li.textContent = kind.empty;
    frag.appendChild(li);
  }
  list.replaceChildren(frag);
}

// --- events

function renderEvents(d) {
  const list = d.tile.querySelector(".eventlist");
  const frag = document.createDocumentFragment();
  for (const e of d.events.slice().reverse()) {
    const li = document.createElement("li");
    // The server words each event as the panel's Event Log window does.
    li.textContent = e.text || "";
    frag.appendChild(li);
  }
  list.replaceChildren(frag);
}

function takeEvent(d, e) {
  d.events.push(e);
  if (d.events.length > EVENTS_KEPT) d.events.splice(0, d.events.length - EVENTS_KEPT);
  // Someone retrieved the lists: they are current again.
  if (e.op === "retrieve/done" || (e.op === "retrieve" && e.kind === "command")) setStaleLists(d, false);
  renderEvents(d);
}

// --- outcomes

// What became of an operation, in a few words; "" when nothing needs saying.
function outcomeText(m) {
  const op = (m.op || "").toUpperCase();
  switch (m.outcome) {
  case "confirmed": return op + " confirmed";
  case "not confirmed":
    return op + " not confirmed: " + (m.transport ? "recorder shows " + m.transport : "recorder showed no transport") +
      (m.note ? "; " + m.note : "");
  case "superseded":
    return m.note && m.note.startsWith("superseded") ? op + " " + m.note : op + " superseded" + (m.note ? ": " + m.note : "");
  case "sent":
    if (m.note) return op + " sent: " + m.note;
    return m.final ? "" : op + " sent";
  }
  return "";
}

function showOutcome(d, text, how) {
  for (const el of [d.card.querySelector(".outcome"), d.tile.querySelector(".outcome")]) {
    el.textContent = text;
    el.className = "outcome " + (how || "");
  }
  clearTimeout(d.outcomeTimer);
  if (text && how !== "pending")
    d.outcomeTimer = setTimeout(() => showOutcome(d, ""), how === "good" ? OUTCOME_MS : OUTCOME_WRONG_MS);
}

function outcomeClass(m) {
  return m.outcome === "confirmed" ? "good" : m.outcome === "sent" && !m.final ? "pending" : m.outcome === "sent" ? "" : "wrong";
}

// --- roll: one command to several decks at once

function chosenDecks() {
  return names.filter((n) => decks.get(n).card.querySelector(".pick input").checked);
}

function showChosen() {
  const chosen = chosenDecks();
  const all = overviewEl.querySelector(".all");
  const every = chosen.length === names.length && names.length > 0;
  all.setAttribute("aria-pressed", String(every));
  all.textContent = every ? "NONE" : "ALL";
  const count = overviewEl.querySelector(".chosen");
  count.firstChild.textContent = chosen.length + " of " + names.length;
  for (const b of overviewEl.querySelectorAll(".rollop, .rollrec")) b.disabled = !chosen.length;
  for (const d of decks.values()) d.card.classList.toggle("picked", d.card.querySelector(".pick input").checked);
}

function startRoll(op, args) {
  const chosen = chosenDecks();
  if (!chosen.length) return;
  const id = sendMessage(Object.assign({ decks: chosen, op: op }, args || {}));
  if (!id) return;
  const roll = { id: id, op: op, group: 0, decks: chosen, results: new Map(), timer: null };
  for (const n of chosen) roll.results.set(n, { stage: "asked" });
  rolls.set(id, roll);
  shownRoll = roll;
  for (const n of chosen) { const d = decks.get(n); if (d) showOutcome(d, op.toUpperCase() + " asked", "pending"); }
  roll.timer = setTimeout(() => {
    // Acknowledged but never confirmed either way: say so rather than wait on.
    for (const r of roll.results.values()) if (!r.final && r.stage !== "refused") { r.stage = "unknown"; r.final = true; }
    showRoll(roll);
  }, ROLL_WAIT_MS);
  showRoll(roll);
}

function rollDone(roll) {
  return [...roll.results.values()].every((r) => r.final);
}

function rollDeckText(name, r) {
  switch (r.stage) {
  case "refused": return name + " refused (" + r.reason + ")";
  case "not confirmed": return name + " not confirmed (" + (r.transport || "no transport word") + ")";
  case "superseded": return name + " superseded" + (r.note ? " (" + r.note + ")" : "");
  case "unknown": return name + " no outcome heard";
  case "sent": return name + " sent" + (r.note ? " (" + r.note + ")" : "");
  }
  return name + " waiting";
}

function showRoll(roll) {
  if (rollDone(roll)) { clearTimeout(roll.timer); rolls.delete(roll.id); }
  if (roll !== shownRoll) return;
  const word = ROLL_WORDS[roll.op] || roll.op;
  let done = 0;
  const others = [];
  for (const [name, r] of roll.results) {
    if (r.stage === "confirmed") ++done;
    else others.push(rollDeckText(name, r));
  }
  const head = done + " of " + roll.results.size + " " + word;
  const el = overviewEl.querySelector(".summary");
  el.textContent = others.length ? head + "; " + others.join("; ") : head;
  el.title = el.textContent;
  el.className = "summary " + (!rollDone(roll) ? "pending" : done === roll.results.size ? "good" : "wrong");
}

// An ack, refusal or outcome for one deck of a roll.
function rollReply(roll, m) {
  if (m.group) roll.group = m.group;
  if (!roll.results.has(m.deck)) {
    // Refused as a whole (the server took no deck from it).
    if (m.type === "refused")
      for (const r of roll.results.values()) if (!r.final) Object.assign(r, { stage: "refused", reason: m.reason, final: true });
    for (const n of roll.decks) { const d = decks.get(n); if (d && m.type === "refused") showOutcome(d, roll.op.toUpperCase() + " refused: " + m.reason, "wrong"); }
    showRoll(roll);
    return;
  }
  const r = roll.results.get(m.deck);
  const d = decks.get(m.deck);
  if (m.type === "refused") {
    Object.assign(r, { stage: "refused", reason: m.reason, final: true });
    if (d) showOutcome(d, roll.op.toUpperCase() + " refused: " + m.reason, "wrong");
  } else if (m.type === "ack") {
    if (r.stage === "asked") r.stage = "queued";
  } else {
    Object.assign(r, { stage: m.outcome, transport: m.transport, note: m.note, final: !!m.final });
    if (d) showOutcome(d, outcomeText(m) || roll.op.toUpperCase() + " " + m.outcome, outcomeClass(m));
  }
  showRoll(roll);
}

function findRoll(m) {
  if (rolls.has(m.id)) return rolls.get(m.id);
  if (m.group) for (const r of rolls.values()) if (r.group === m.group) return r;
  return null;
}

// --- messages

function onMessage(m) {
  const d = m.deck !== undefined ? decks.get(m.deck) : null;
  switch (m.type) {
  case "decks": showDecks(m.decks); break;
  case "state": showState(m); break;
  case "list":
    if (!d || !d.lists[m.kind]) break;
    d.lists[m.kind] = m.lines;
    if (d.kind === m.kind) renderList(d);
    break;
  case "events":
    if (!d) break;
    d.events = m.events.slice(-EVENTS_KEPT);
    renderEvents(d);
    break;
  case "event":
    if (d) takeEvent(d, m.event);
    break;
  case "alarm":
    if (d) showAlarm(d, m.text);
    break;
  case "ack":
  case "refused": {
    const roll = findRoll(m);
    if (roll) { rollReply(roll, m); break; }
    if (!d) break;
    d.tile.querySelector(".reply").textContent = m.type === "ack" ? "" : (m.op || "") + ": " + m.reason;
    if (m.type === "refused") showOutcome(d, (m.op || "").toUpperCase() + " refused: " + m.reason, "wrong");
    break;
  }
  case "outcome": {
    const roll = findRoll(m);
    if (roll) { rollReply(roll, m); break; }
    if (d) showOutcome(d, outcomeText(m), outcomeClass(m));
    break;
  }
  }
}

// --- the view in the URL

function route() {
  const m = /^#deck=(.+)$/.exec(location.hash);
  const name = m ? decodeURIComponent(m[1]) : null;
  const d = name !== null ? decks.get(name) : null;
  overviewEl.hidden = name !== null;
  decksEl.hidden = !d;
  for (const o of decks.values()) o.tile.hidden = o !== d;
  missingEl.hidden = name === null || !!d || !known;
  if (name !== null && !d) missingEl.textContent = "No deck " + name + " here. ";
  if (!missingEl.hidden) {
    const back = document.createElement("a");
    back.href = "#overview";
    back.textContent = "All decks";
    missingEl.append(back);
  }
  $("where").textContent = name === null ? "ALL DECKS" : name;
  document.body.classList.toggle("overview-shown", name === null);
  document.title = (name === null ? "QZ7 decks" : name + " - QZ7");
  layoutCards();
}

// As many columns as make the cards largest for the screen and the number of
// decks: eight on a tablet in three columns, four on a phone in one.
function layoutCards() {
  const n = Math.max(1, names.length);
  const width = cardsEl.clientWidth || window.innerWidth;
  const height = cardsEl.clientHeight || window.innerHeight;
  let best = 1;
  let bestSize = 0;
  for (let cols = 1; cols <= n; ++cols) {
    const rows = Math.ceil(n / cols);
    const size = Math.min(width / cols, (height / rows) * 1.65);
    if (size > bestSize + 1) { best = cols; bestSize = size; }
  }
  cardsEl.style.setProperty("--cols", best);
  cardsEl.style.setProperty("--rows", Math.ceil(n / best));
}

// --- connection

async function needsLogin() {
  try {
    const r = await fetch("/api/decks", { credentials: "same-origin" });
    return r.status === 401;
  } catch (e) {
    return false;
  }
}

function connect() {
  socket = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/ws");
  socket.onopen = () => { retryMs = 500; setLive(true); };
  socket.onmessage = (e) => { try { onMessage(JSON.parse(e.data)); } catch (err) { console.error(err); } };
  socket.onclose = async () => {
    socket = null;
    setLive(false);
    if (await needsLogin()) { loginForm.hidden = false; return; }
    setTimeout(connect, retryMs);
    retryMs = Math.min(retryMs * 2, 4000);
  };
}

loginForm.addEventListener("submit", async (e) => {
  e.preventDefault();
  const r = await fetch("/login", {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ token: $("token").value }),
  });
  if (r.ok) {
    loginForm.hidden = true;
    $("loginError").textContent = "";
    connect();
  } else {
    $("loginError").textContent = r.status === 429
      ? "too many wrong tokens: try again in " + (r.headers.get("Retry-After") || "60") + " s"
      : "wrong token";
  }
});

overviewEl.querySelector(".all").addEventListener("click", () => {
  const every = chosenDecks().length === names.length;
  for (const d of decks.values()) d.card.querySelector(".pick input").checked = !every;
  showChosen();
});
for (const b of overviewEl.querySelectorAll(".rollop")) b.addEventListener("click", () => startRoll(b.dataset.op));
holdToAct(overviewEl.querySelector(".rollrec"), () => startRoll("rec", { confirm: 1 }));

window.addEventListener("hashchange", route);
window.addEventListener("resize", layoutCards);
if (!/^#deck=./.test(location.hash)) history.replaceState(null, "", "#overview");
route();
setLive(false);
banner.hidden = true;
conn.textContent = "CONNECTING";
needsLogin().then((login) => { if (login) loginForm.hidden = false; else connect(); });
