// The web remote's page: one tile per deck, fed by the WebSocket /ws. Nothing
// here is fetched from anywhere but this server.
"use strict";

const EVENTS_KEPT = 50;
const REC_HOLD_MS = 1000;
const ACTIONS = { files: ["OPEN", "file/open", (k) => k + 1], clips: ["OPEN", "clip/open", (k) => k], cues: ["CUE", "cue/search", (k) => k] };

const decksEl = document.getElementById("decks");
const banner = document.getElementById("banner");
const conn = document.getElementById("conn");
const loginForm = document.getElementById("login");
const template = document.getElementById("tileTemplate");

const tiles = new Map();  // deck name -> tile state
let socket = null;
let nextId = 1;
let retryMs = 500;

// When each timecode reached the page, and when each button was pressed: the
// latency measurement reads these.
window.qz7Trace = [];
window.qz7Taps = [];
function now() { return performance.timeOrigin + performance.now(); }

function setLive(live) {
  banner.hidden = live;
  decksEl.classList.toggle("stale", !live);
  conn.textContent = live ? "CONNECTED" : "DISCONNECTED";
  conn.classList.toggle("live", live);
  // What was shown before the socket dropped is not live any more.
  if (!live) for (const t of tiles.values()) t.el.classList.add("notlive");
}

function send(deck, op, args) {
  if (!socket || socket.readyState !== WebSocket.OPEN) return;
  window.qz7Taps.push([op, now()]);
  socket.send(JSON.stringify(Object.assign({ id: nextId++, deck: deck, op: op }, args || {})));
}

function makeTile(name) {
  const el = template.content.firstElementChild.cloneNode(true);
  el.dataset.deck = name;
  const q = (s) => el.querySelector(s);
  const t = { el: el, name: name, kind: "files", lists: { files: [], clips: [], cues: [] }, selected: -1, events: [] };
  q(".name").textContent = name;
  for (const b of el.querySelectorAll("button[data-op]")) {
    b.addEventListener("click", () => {
      const op = b.dataset.op;
      const args = op === "ff" || op === "rew" ? { item: Number(q(".speed").value) } : {};
      send(name, op, args);
    });
  }
  // REC acts only once held for a second; an earlier release does nothing.
  const rec = q(".rec");
  let timer = null;
  const cancel = () => { clearTimeout(timer); timer = null; rec.classList.remove("holding"); };
  rec.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    cancel();
    rec.classList.add("holding");
    timer = setTimeout(() => { timer = null; rec.classList.remove("holding"); send(name, "rec", { confirm: 1 }); }, REC_HOLD_MS);
  });
  for (const ev of ["pointerup", "pointerleave", "pointercancel"]) rec.addEventListener(ev, cancel);
  rec.addEventListener("contextmenu", (e) => e.preventDefault());

  for (const tab of el.querySelectorAll(".tab")) {
    tab.addEventListener("click", () => {
      t.kind = tab.dataset.kind;
      t.selected = -1;
      for (const o of el.querySelectorAll(".tab")) o.classList.toggle("selected", o === tab);
      renderList(t);
    });
  }
  // A tap only selects; the button beside the list acts on the selection.
  q(".list").addEventListener("click", (e) => {
    const li = e.target.closest("li");
    if (!li) return;
    t.selected = Number(li.dataset.index);
    for (const o of q(".list").children) o.classList.toggle("selected", o === li);
  });
  q(".act").addEventListener("click", () => {
    if (t.selected < 0) { q(".reply").textContent = "select a line first"; return; }
    const [, op, number] = ACTIONS[t.kind];
    send(name, op, { number: number(t.selected) });
  });
  renderList(t);
  return t;
}

function showDecks(names) {
  for (const [name, t] of tiles) {
    if (!names.includes(name)) { t.el.remove(); tiles.delete(name); }
  }
  for (const name of names) {
    if (!tiles.has(name)) tiles.set(name, makeTile(name));
    decksEl.appendChild(tiles.get(name).el);  // in the server's order
  }
}

function showState(s) {
  const t = tiles.get(s.deck);
  if (!t) return;
  const q = (sel) => t.el.querySelector(sel);
  q(".hosts").textContent = (s.hosts || []).join(", ");
  const lamp = q(".lamp");
  lamp.textContent = s.lamp;
  lamp.className = "lamp " + s.lampState;
  q(".tally").classList.toggle("lit", s.rec === 1);
  q(".rec").classList.toggle("lit", s.rec === 1);
  q(".timecode").textContent = s.timecode || "--:--:--:--";
  window.qz7Trace.push([s.deck, s.timecode, now()]);
  if (window.qz7Trace.length > 20000) window.qz7Trace.splice(0, 10000);
  q(".transport").textContent = s.transport;
  q(".number").textContent = s.number;
  q(".errtext").textContent = s.error;
  // Values from a recorder that stopped answering are the last ones received.
  t.el.classList.toggle("notlive", s.link !== "OK");
}

function renderList(t) {
  const list = t.el.querySelector(".list");
  const lines = t.lists[t.kind];
  const [label] = ACTIONS[t.kind];
  t.el.querySelector(".act").textContent = label;
  if (t.selected >= lines.length) t.selected = -1;
  const frag = document.createDocumentFragment();
  lines.forEach((line, k) => {
    const li = document.createElement("li");
    li.dataset.index = k;
    li.textContent = line;
    if (k === t.selected) li.className = "selected";
    frag.appendChild(li);
  });
  list.replaceChildren(frag);
}

function eventText(e) {
  const v = (x) => (x === undefined || x === null ? "" : typeof x === "object" ? JSON.stringify(x) : String(x));
  let time = v(e.ts);
  const m = /T(\d\d:\d\d:\d\d)/.exec(time);
  if (m) time = m[1];
  return [time, v(e.origin), v(e.op || e.kind), v(e.outcome)].filter((x) => x).join("  ");
}

function renderEvents(t) {
  const list = t.el.querySelector(".eventlist");
  const frag = document.createDocumentFragment();
  for (const e of t.events.slice().reverse()) {
    const li = document.createElement("li");
    li.textContent = eventText(e);
    frag.appendChild(li);
  }
  list.replaceChildren(frag);
}

function onMessage(m) {
  const t = m.deck !== undefined ? tiles.get(m.deck) : null;
  switch (m.type) {
  case "decks": showDecks(m.decks); break;
  case "state": showState(m); break;
  case "list":
    if (!t || !t.lists[m.kind]) break;
    t.lists[m.kind] = m.lines;
    if (t.kind === m.kind) renderList(t);
    break;
  case "events":
    if (!t) break;
    t.events = m.events.slice(-EVENTS_KEPT);
    renderEvents(t);
    break;
  case "event":
    if (!t) break;
    t.events.push(m.event);
    if (t.events.length > EVENTS_KEPT) t.events.splice(0, t.events.length - EVENTS_KEPT);
    renderEvents(t);
    break;
  case "ack":
  case "refused":
    if (t) t.el.querySelector(".reply").textContent = m.type === "ack" ? "" : m.op + ": " + m.reason;
    break;
  }
}

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
    body: JSON.stringify({ token: document.getElementById("token").value }),
  });
  if (r.ok) {
    loginForm.hidden = true;
    document.getElementById("loginError").textContent = "";
    connect();
  } else {
    document.getElementById("loginError").textContent = r.status === 429
      ? "too many wrong tokens: try again in " + (r.headers.get("Retry-After") || "60") + " s"
      : "wrong token";
  }
});

setLive(false);
banner.hidden = true;
conn.textContent = "CONNECTING";
needsLogin().then((login) => { if (login) loginForm.hidden = false; else connect(); });
