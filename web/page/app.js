// The tablet page: show control over the program's JSON-RPC WebSocket.
"use strict";

const TEXTS = {
  en: {
    connecting: "Connecting…", connected: "Connected", down: "Not connected",
    looks: "Looks", sequences: "Sequences", armed: "Press again to take",
    pinAsk: "PIN of this station", pinOk: "Open", pinWrong: "Wrong PIN",
    pinWait: "Too many wrong PINs: try again in {0} s", unlinked: "{0} is not linked to its processor",
    recallFailed: "The recall failed: {0}", elsewhere: "Recalled elsewhere",
    start: "Start", pause: "Pause", resume: "Resume", stop: "Stop",
    step: "Step {0} of {1}, {2} s left", noPresets: "No presets",
    confirmed: "", changed: "changed here", differs: "differs", unknown: "",
  },
  zh: {
    connecting: "正在连接…", connected: "已连接", down: "未连接",
    looks: "场景组合", sequences: "序列", armed: "再按一次切换",
    pinAsk: "本站的 PIN 码", pinOk: "进入", pinWrong: "PIN 码错误",
    pinWait: "错误次数过多，请 {0} 秒后再试", unlinked: "{0} 未连接处理器",
    recallFailed: "调用失败：{0}", elsewhere: "由其他地方调用",
    start: "开始", pause: "暂停", resume: "继续", stop: "停止",
    step: "第 {0} 步，共 {1} 步，剩余 {2} 秒", noPresets: "没有预设",
    confirmed: "", changed: "本机已改", differs: "与设备不同", unknown: "",
  },
};
const ARM_MS = 3000;
const WATCH_EVERY_MS = 3000;
const TOPICS = ["preset.recalled", "link.changed", "marks.changed", "look.recalled"];
// Heard only where the program runs sequences (sequences.list answers).
const SEQUENCE_TOPIC = "sequence.changed";
const METHOD_NOT_FOUND = -32601;
const UNAUTHORISED = -32003;

const state = {
  language: "en", pinNeeded: false, wsPort: 0,
  ws: null, backoff: 500, nextId: 1, calls: new Map(),
  processors: [], looks: [], presets: new Map(), tab: null,
  onAir: new Map(), elsewhere: new Map(), pending: new Map(), armed: null,
  sequences: null,
};

const $ = (id) => document.getElementById(id);
function text(key, ...args) {
  const value = (TEXTS[state.language] || TEXTS.en)[key] || "";
  return value.replace(/\{(\d)\}/g, (_, i) => String(args[Number(i)]));
}
function say(message) { $("message").textContent = message; }

// --- access ---------------------------------------------------------------

async function readConfig() {
  const response = await fetch("/config.json", { cache: "no-store" });
  if (!response.ok) throw new Error(await response.text());
  const config = await response.json();
  const changed = config.language !== state.language;
  Object.assign(state, { language: config.language, pinNeeded: config.pinNeeded, wsPort: config.wsPort });
  if (changed) render();
}

async function askSession(pin) {
  const body = state.pinNeeded ? { pin } : {};
  const response = await fetch("/session", { method: "POST", body: JSON.stringify(body),
    headers: { "Content-Type": "application/json" } });
  if (response.ok) {
    localStorage.setItem("rz5300.token", (await response.json()).token);
    return null;
  }
  if (response.status === 429) return text("pinWait", response.headers.get("Retry-After"));
  if (response.status === 403) return (await response.text()).includes("wrong PIN") ? text("pinWrong") : await response.text();
  return await response.text();
}

function askPin() {
  $("pinPanel").hidden = false;
  $("pin").value = "";
  $("pin").focus();
}

async function sessionOrPin() {
  if (localStorage.getItem("rz5300.token")) return connect();
  if (state.pinNeeded) return askPin();
  const problem = await askSession("");
  if (problem) say(problem); else connect();
}

// --- the WebSocket ----------------------------------------------------------

function connect() {
  const token = encodeURIComponent(localStorage.getItem("rz5300.token") || "");
  const ws = new WebSocket(`ws://${location.hostname}:${state.wsPort}/?token=${token}&name=${encodeURIComponent("tablet page")}`);
  state.ws = ws;
  ws.onopen = () => opened(ws);
  ws.onmessage = (event) => received(JSON.parse(event.data));
  ws.onclose = () => closed(ws);
}

function call(method, params) {
  return new Promise((resolve, reject) => {
    if (!state.ws || state.ws.readyState !== WebSocket.OPEN) return reject({ code: 0, message: text("down") });
    const id = state.nextId++;
    state.calls.set(id, { resolve, reject });
    state.ws.send(JSON.stringify({ jsonrpc: "2.0", id, method, params }));
  });
}

async function opened(ws) {
  try {
    await call("subscribe", { topics: TOPICS });
  } catch (error) {
    if (error.code === UNAUTHORISED) {
      localStorage.removeItem("rz5300.token");
      ws.close();
    } else {
      say(error.message);
    }
    return;
  }
  state.backoff = 500;
  await loadStation();
  document.body.classList.replace("down", "up");
  render();
  document.body.dataset.ready = "1";
}

function closed(ws) {
  if (state.ws !== ws) return;
  state.ws = null;
  document.body.classList.replace("up", "down");
  delete document.body.dataset.ready;
  for (const { reject } of state.calls.values()) reject({ code: 0, message: text("down") });
  state.calls.clear();
  state.pending.clear();
  render();
  setTimeout(reconnect, state.backoff);
  state.backoff = Math.min(state.backoff * 2, 5000);
}

async function reconnect() {
  try {
    await readConfig();
    sessionOrPin();
  } catch (error) {
    setTimeout(reconnect, state.backoff);
    state.backoff = Math.min(state.backoff * 2, 5000);
  }
}

function received(message) {
  if (message.id !== undefined && state.calls.has(message.id)) {
    const { resolve, reject } = state.calls.get(message.id);
    state.calls.delete(message.id);
    if (message.error) reject(message.error); else resolve(message.result);
    return;
  }
  const handler = NOTIFICATIONS[message.method];
  if (handler) {
    handler(message.params || {});
    render();
  }
}

async function loadStation() {
  state.processors = await call("processors.list");
  state.looks = await call("looks.list");
  for (const p of state.processors) {
    state.presets.set(p.processor, await call("presets.list", { processor: p.processor }));
    state.onAir.set(p.processor, p.preset);
  }
  if (state.tab === null) {
    const selected = state.processors.find((p) => p.selected) || state.processors[0];
    state.tab = selected ? selected.processor : "looks";
  }
  try {
    state.sequences = (await call("sequences.list")).map(stamped);
    await call("subscribe", { topics: [...TOPICS, SEQUENCE_TOPIC] });
  } catch (error) {
    state.sequences = error.code === METHOD_NOT_FOUND ? null : state.sequences;
  }
}

// The processors as the program has them now, with the preset on air of a
// link that has just been read.
async function refreshProcessors() {
  try {
    const processors = await call("processors.list");
    for (const p of processors) {
      const known = state.processors.find((q) => q.processor === p.processor);
      if (known && ready(known) !== ready(p)) state.onAir.set(p.processor, p.preset);
    }
    state.processors = processors;
    render();
  } catch (error) { /* the connection went: it is read again on reconnecting */ }
}

// Commands go once the link is read; a program without the link's state
// in its answers has only "linked".
const ready = (p) => (p.state === undefined ? p.linked : p.state === "ready");

// --- what the program pushes ------------------------------------------------

const NOTIFICATIONS = {
  "preset.recalled": ({ processor, preset, by }) => {
    const number = processor.number;
    const pending = state.pending.get(number);
    const ours = pending && pending.preset === preset && by === "remote";
    if (ours) state.pending.delete(number);
    state.onAir.set(number, preset);
    state.elsewhere.set(number, !ours);
  },
  "link.changed": ({ processor, linked, state: link }) => {
    const p = state.processors.find((q) => q.processor === processor.number);
    if (p) Object.assign(p, { linked, state: link });
    if (!linked) state.pending.delete(processor.number);
    if (p && ready(p)) refreshProcessors();
  },
  "marks.changed": ({ processor, presets }) => state.presets.set(processor.number, presets),
  "look.recalled": () => call("looks.list").then((looks) => { state.looks = looks; render(); }),
  "sequence.changed": (sequence) => {
    if (!state.sequences) return;
    const index = state.sequences.findIndex((s) => s.name === sequence.name);
    if (index >= 0) state.sequences[index] = stamped({ ...state.sequences[index], ...sequence });
    else state.sequences.push(stamped(sequence));
  },
};

// --- Take in two steps ------------------------------------------------------

function press(key, fire) {
  if (state.armed && state.armed.key === key) {
    clearTimeout(state.armed.timer);
    state.armed = null;
    fire();
  } else {
    if (state.armed) clearTimeout(state.armed.timer);
    const timer = setTimeout(() => { state.armed = null; render(); }, ARM_MS);
    state.armed = { key, timer };
  }
  render();
}

function recallPreset(processor, preset) {
  if (state.pending.has(processor)) return;
  press(`p${processor}:${preset}`, async () => {
    state.pending.set(processor, { preset });
    say("");
    try {
      await call("preset.recall", { processor, preset });
      if (state.pending.get(processor)?.preset === preset) {
        state.pending.delete(processor);
        state.onAir.set(processor, preset);
        state.elsewhere.set(processor, false);
      }
    } catch (error) {
      state.pending.delete(processor);
      say(text("recallFailed", error.message));
    }
    render();
  });
}

function recallLook(look) {
  if (state.pending.has("looks")) return;
  press(`l:${look}`, async () => {
    state.pending.set("looks", { look });
    try {
      await call("look.recall", { look });
      state.looks = await call("looks.list");
    } catch (error) {
      say(text("recallFailed", error.message));
    }
    state.pending.delete("looks");
    render();
  });
}

// --- drawing ---------------------------------------------------------------

function button(label, number, detail, buttonState, onPress) {
  const b = document.createElement("button");
  b.type = "button";
  b.dataset.state = buttonState;
  const small = document.createElement("span");
  small.className = "number";
  small.textContent = number;
  const mark = document.createElement("span");
  mark.className = "mark";
  mark.textContent = buttonState === "armed" ? text("armed") : detail;
  b.append(small, document.createTextNode(label), mark);
  b.addEventListener("click", onPress);
  return b;
}

function presetState(processor, preset) {
  if (state.armed && state.armed.key === `p${processor}:${preset}`) return "armed";
  const pending = state.pending.get(processor);
  if (pending && pending.preset === preset) return "pending";
  if (state.onAir.get(processor) !== preset) return "idle";
  return state.elsewhere.get(processor) ? "elsewhere" : "onair";
}

function renderTabs() {
  const tabs = $("tabs");
  tabs.replaceChildren();
  const entries = state.processors.map((p) => ({ key: p.processor, label: p.name, unlinked: !ready(p) }));
  entries.push({ key: "looks", label: text("looks"), unlinked: false });
  for (const entry of entries) {
    const b = document.createElement("button");
    b.type = "button";
    b.setAttribute("role", "tab");
    b.setAttribute("aria-selected", String(entry.key === state.tab));
    b.dataset.tab = entry.key;
    b.classList.toggle("unlinked", entry.unlinked);
    b.textContent = entry.label;
    b.addEventListener("click", () => { state.tab = entry.key; state.armed = null; render(); });
    tabs.append(b);
  }
}

function renderGrid() {
  const grid = $("grid");
  grid.replaceChildren();
  if (state.tab === "looks") {
    for (const [index, look] of state.looks.entries()) {
      const armed = state.armed && state.armed.key === `l:${index + 1}`;
      const pending = state.pending.get("looks")?.look === index + 1;
      const s = armed ? "armed" : pending ? "pending" : look.marks === "all" ? "onair" : "idle";
      const b = button(look.name, `L${index + 1}`, "", s, () => recallLook(index + 1));
      b.dataset.look = String(index + 1);
      grid.append(b);
    }
    return;
  }
  for (const p of state.presets.get(state.tab) || []) {
    const s = presetState(state.tab, p.preset);
    const named = p.name && p.name !== `M${p.preset}`;
    const b = button(named ? p.name : `M${p.preset}`, named ? `M${p.preset}` : "", text(p.mark), s,
      () => recallPreset(state.tab, p.preset));
    b.dataset.preset = String(p.preset);
    if (s === "elsewhere") b.title = text("elsewhere");
    grid.append(b);
  }
}

// The program tells a sequence's time left when its step changes; the page
// counts it down in between.
const stamped = (sequence) => ({ ...sequence, at: performance.now() });
const timeLeft = (s) =>
  s.state === "playing" ? Math.max(0, (s.timeLeft || 0) - (performance.now() - s.at) / 1000) : s.timeLeft || 0;

function renderSequences() {
  const section = $("sequences");
  section.hidden = !state.sequences;
  if (!state.sequences) return;
  const list = $("sequenceList");
  list.replaceChildren();
  for (const s of state.sequences) {
    const row = document.createElement("div");
    row.className = "sequence";
    row.dataset.sequence = s.name;
    const name = document.createElement("strong");
    name.textContent = s.name;
    const progress = document.createElement("span");
    progress.className = "progress";
    if (s.state !== "stopped") progress.textContent = text("step", s.step, s.steps, Math.ceil(timeLeft(s)));
    row.append(name, progress);
    const actions = s.state === "playing" ? ["pause", "stop"] : s.state === "paused" ? ["resume", "stop"] : ["start"];
    for (const action of actions) {
      const b = document.createElement("button");
      b.type = "button";
      b.textContent = text(action);
    b.dataset.action = action;
      b.addEventListener("click", () => call(`sequence.${action}`, { sequence: s.name }).catch((e) => say(e.message)));
      row.append(b);
    }
    list.append(row);
  }
}

function render() {
  document.documentElement.lang = state.language === "zh" ? "zh-CN" : "en";
  for (const element of document.querySelectorAll("[data-text]")) element.textContent = text(element.dataset.text);
  const up = Boolean(state.ws && document.body.classList.contains("up"));
  $("connection").textContent = text(up ? "connected" : "down");
  const processor = state.processors.find((p) => p.processor === state.tab);
  const unlinked = Boolean(processor && !ready(processor));
  document.body.classList.toggle("unlinked", unlinked);
  $("linkState").textContent = unlinked ? text("unlinked", processor.name) : "";
  // Nothing on the page may be pressed while it cannot be carried out.
  $("main").inert = !up || unlinked;
  $("tabs").inert = !up;
  renderTabs();
  renderGrid();
  renderSequences();
}

// --- start -----------------------------------------------------------------

$("pinForm").addEventListener("submit", async (event) => {
  event.preventDefault();
  const problem = await askSession($("pin").value);
  $("pinError").textContent = problem || "";
  if (!problem) {
    $("pinPanel").hidden = true;
    connect();
  }
});

setInterval(() => readConfig().catch(() => {}), WATCH_EVERY_MS);
setInterval(() => { if (state.sequences && state.sequences.some((s) => s.state === "playing")) renderSequences(); }, 1000);
readConfig().then(sessionOrPin).catch((error) => { say(String(error)); setTimeout(reconnect, 1000); });
render();
