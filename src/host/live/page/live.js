"use strict";
// Draws the item window from the screen the driver sends and hands the person's actions back.
// Every browser control's document lives in one iframe that is never moved in the page (moving
// an iframe reloads it); the iframes are only placed over the controls they belong to.
(() => {
  const TWIPS_PER_PIXEL = 15;
  const stage = document.getElementById("stage");
  const frames = new Map();       // frame id -> {iframe, loadId, html, bodyMargin, scrollBars, width, height}
  const windowsByHandle = new Map();
  let socket = null;
  let lastView = null;
  let scrollSent = new Map();     // scroll container name -> the position last asked for, in twips

  // What tests and people at the console read.
  window.velm = { frames, get view() { return lastView; }, measured: new Map() };

  function send(message) {
    if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
  }
  function act(line) { send({ type: "action", line }); }

  // ---- documents -------------------------------------------------------------------------

  function frameRecord(id) {
    let record = frames.get(id);
    if (!record) {
      const iframe = document.createElement("iframe");
      iframe.className = "frame hidden";
      iframe.dataset.frame = id;
      iframe.setAttribute("title", id);
      // The item's own scripts never run; the page still reads and measures the document.
      iframe.setAttribute("sandbox", "allow-same-origin");
      record = { id, iframe, loadId: 0, html: "", bodyMargin: "", scrollBars: true, width: 0 };
      frames.set(id, record);
      iframe.addEventListener("load", () => documentLoaded(record));
    }
    return record;
  }

  function load(message) {
    const record = frameRecord(message.frame);
    Object.assign(record, { loadId: message.loadId, html: message.html, bodyMargin: message.bodyMargin,
                            scrollBars: message.scrollBars, width: message.width });
    record.loading = true;
    record.iframe.style.width = message.width + "px";
    record.iframe.srcdoc = message.html;
    if (!record.iframe.isConnected) frameLayer.appendChild(record.iframe);
  }

  // The blank document a new frame starts with also raises load; only the given one counts.
  function documentLoaded(record) {
    const doc = record.iframe.contentDocument;
    if (!doc || !doc.documentElement || doc.URL !== "about:srcdoc") return;
    record.loading = false;
    if (record.bodyMargin && doc.body) doc.body.style.margin = record.bodyMargin;
    if (!record.scrollBars) doc.documentElement.style.overflow = "hidden";
    listen(record, doc);
    send({ type: "loaded", frame: record.id, loadId: record.loadId, height: measure(record) });
    if (record.measureAsked) answerMeasure(record);
  }

  // The document's height at the frame's width; the frame is made small for the moment, since
  // scrollHeight is never less than the frame itself.
  function measure(record) {
    const iframe = record.iframe;
    const doc = iframe.contentDocument;
    if (!doc || !doc.documentElement) return 0;
    const height = iframe.style.height;
    iframe.style.width = record.width + "px";
    iframe.style.height = "1px";
    const root = doc.documentElement;
    const measured = Math.max(Math.ceil(root.getBoundingClientRect().height), root.scrollHeight);
    iframe.style.height = height;
    window.velm.measured.set(record.id, measured);
    return measured;
  }

  function remeasure(message) {
    const record = frames.get(message.frame);
    if (!record) return send({ type: "height", frame: message.frame, height: 0 });
    record.width = message.width;
    record.bodyMargin = message.bodyMargin;
    const doc = record.iframe.contentDocument;
    if (doc && doc.body) doc.body.style.margin = record.bodyMargin || "";
    if (record.loading) record.measureAsked = true;
    else answerMeasure(record);
  }

  function answerMeasure(record) {
    record.measureAsked = false;
    send({ type: "height", frame: record.id, height: measure(record) });
  }

  function closestId(target) {
    const element = target && target.nodeType === 1 ? target : target && target.parentElement;
    const withId = element && element.closest("[id]");
    return withId ? withId.id : "";
  }

  // The page cannot wait for the item's answer, so keys are blocked here and the answer shown.
  function listen(record, doc) {
    const report = (event, fields) => send({ type: "event", frame: record.id, event: Object.assign({
      type: event.type, altKey: event.altKey || false, shiftKey: event.shiftKey || false,
      ctrlKey: event.ctrlKey || false, keyCode: 0, srcId: closestId(event.target) }, fields) });
    doc.addEventListener("click", (event) => {
      event.preventDefault();
      report(event, {});
    }, true);
    doc.addEventListener("keydown", (event) => {
      const character = event.key.length === 1 && !event.ctrlKey && !event.altKey;
      if (!character) event.preventDefault();
      report(event, { keyCode: event.keyCode });
    }, true);
    doc.addEventListener("keypress", (event) => {
      event.preventDefault();
      report(event, { keyCode: event.charCode || event.keyCode });
    }, true);
    doc.addEventListener("selectstart", (event) => report(event, {}), true);
    doc.addEventListener("wheel", (event) => {
      const bar = record.scrollbar;
      if (!bar) return;
      event.preventDefault();
      bar.scrollTop += event.deltaY;
    }, { capture: true, passive: false });
  }

  function eventResult(message) {
    const record = frames.get(message.frame);
    if (!record) return;
    const doc = record.iframe.contentDocument;
    if (message.eventType === "selectstart" && message.selectionEmptied && doc) {
      doc.getSelection().removeAllRanges();
      doc.documentElement.style.userSelect = "none";
      doc.addEventListener("mouseup", () => { doc.documentElement.style.userSelect = ""; }, { once: true });
    }
  }

  // ---- the screen ------------------------------------------------------------------------

  function px(value) { return (value || 0) + "px"; }

  function place(element, shape) {
    element.style.left = px(shape.left);
    element.style.top = px(shape.top);
    element.style.width = px(shape.width);
    element.style.height = px(shape.height);
  }

  // Every frame stays in this one layer for good; stacking and clipping follow the screen.
  const frameLayer = document.createElement("div");
  frameLayer.className = "frames";
  stage.appendChild(frameLayer);

  function windowElement(window) {
    let element = windowsByHandle.get(window.handle);
    if (!element) {
      element = document.createElement("div");
      element.dataset.window = window.name || window.className;
      windowsByHandle.set(window.handle, element);
    }
    return element;
  }

  function render(screen) {
    const focused = document.activeElement && document.activeElement.closest
      ? document.activeElement.closest("[data-name]") : null;
    const context = { seen: new Set(), placed: new Set(), paint: 0, extent: { width: 0, height: 0 } };
    drawWindows(screen.windows, stage, { left: 0, top: 0 }, context, true);
    for (const [handle, element] of windowsByHandle) {
      if (!context.seen.has(handle)) { element.remove(); windowsByHandle.delete(handle); }
    }
    for (const record of frames.values()) {
      if (!context.placed.has(record.id)) record.iframe.classList.add("hidden");
    }
    stage.style.width = px(Math.max(context.extent.width, 200));
    stage.style.height = px(Math.max(context.extent.height, 100));
    if (focused) {
      const again = stage.querySelector(`[data-name="${focused.dataset.name}"]` +
        (focused.dataset.index !== undefined ? `[data-index="${focused.dataset.index}"]` : ""));
      if (again && again.focus) again.focus();
    }
  }

  // Windows carry no stacking of their own: every element gets its z-index from one paint order
  // over the whole screen, so that the frames, which live elsewhere, stack among them.
  function drawWindows(windows, parentElement, origin, context, parentShown) {
    for (const window of windows || []) {
      context.seen.add(window.handle);
      const element = windowElement(window);
      if (element.parentElement !== parentElement) parentElement.appendChild(element);
      const plain = !window.name;
      const shown = parentShown && window.visible;
      element.className = "window" + (plain ? " plain" : "") + (shown ? "" : " hidden");
      const shape = plain ? { left: 24, top: 24, width: 220, height: 120 } : window;
      place(element, shape);
      const at = { left: origin.left + shape.left, top: origin.top + shape.top };
      if (shown) {
        context.extent.width = Math.max(context.extent.width, at.left + shape.width);
        context.extent.height = Math.max(context.extent.height, at.top + shape.height);
      }
      const backdrop = document.createElement("div");
      backdrop.className = "backdrop";
      backdrop.style.zIndex = ++context.paint;
      element.replaceChildren(backdrop);
      if (plain) {
        const content = plainWindow(window);
        content.style.position = "relative";
        content.style.zIndex = ++context.paint;
        element.appendChild(content);
      }
      const inner = Object.assign({}, context, {
        origin: at, scrollbar: null,
        clip: { left: at.left, top: at.top, right: at.left + shape.width, bottom: at.top + shape.height } });
      drawControls(window.controls, element, { left: 0, top: 0 }, inner, shown);
      context.paint = inner.paint;
      drawWindows(window.windows, element, { left: 0, top: 0 }, context, shown);
    }
  }

  // A window that is not a form, such as the calculator: its title and a close button.
  function plainWindow(window) {
    const box = document.createElement("div");
    const caption = document.createElement("div");
    caption.className = "caption";
    caption.textContent = window.title || window.className;
    const close = document.createElement("button");
    close.textContent = "Close";
    close.dataset.close = window.className;
    close.addEventListener("click", () => act("calculator close"));
    box.append(caption, close);
    return box;
  }

  function drawControls(controls, parentElement, offset, context, shown) {
    for (const control of controls || []) drawControl(control, parentElement, offset, context, shown);
  }

  function drawControl(control, parentElement, offset, context, parentShown) {
    const shown = parentShown && control.visible;
    const at = { left: offset.left + control.left, top: offset.top + control.top,
                 width: control.width, height: control.height };
    context.paint += 1;
    if (control.kind === "WebBrowser") return placeFrame(control, at, context, shown);
    const element = controlElement(control);
    if (!element) return;
    element.dataset.name = control.name;
    if (control.index >= 0) element.dataset.index = control.index;
    element.classList.add("control");
    element.classList.toggle("hidden", !shown);
    place(element, at);
    parentElement.appendChild(element);
    if (!control.controls) {
      element.style.zIndex = context.paint;
      return;
    }
    const scrolled = control.kind === "ScrollContainer" ? control.verticalPosition : 0;
    const stageLeft = context.origin.left + at.left, stageTop = context.origin.top + at.top;
    const inner = Object.assign({}, context, {
      clip: { left: Math.max(context.clip.left, stageLeft), top: Math.max(context.clip.top, stageTop),
              right: Math.min(context.clip.right, stageLeft + at.width),
              bottom: Math.min(context.clip.bottom, stageTop + at.height) } });
    if (control.kind === "ScrollContainer") inner.scrollbar = scrollbar(control, at, parentElement, element, shown);
    drawControls(control.controls, parentElement, { left: at.left, top: at.top - scrolled }, inner, shown);
    if (inner.scrollbar) inner.scrollbar.style.zIndex = ++inner.paint;
    context.paint = inner.paint;
  }

  function controlElement(control) {
    switch (control.kind) {
    case "CheckBox":
    case "OptionButton": return answerControl(control);
    case "CommandButton": return commandButton(control);
    case "Label": return label(control);
    case "PictureBox":
    case "ScrollContainer": {
      const box = document.createElement("div");
      box.className = "container";
      if (control.name === "pcChoicesContainer") box.tabIndex = 0;
      return box;
    }
    default: return null;
    }
  }

  function answerControl(control) {
    const box = document.createElement("label");
    box.className = "answer";
    const input = document.createElement("input");
    input.type = control.kind === "CheckBox" ? "checkbox" : "radio";
    input.checked = control.value === 1;
    input.disabled = !control.enabled;
    input.addEventListener("click", (event) => {
      event.preventDefault();
      act("click #" + control.index);
    });
    const caption = document.createElement("span");
    caption.textContent = control.caption;
    box.append(input, caption);
    return box;
  }

  function commandButton(control) {
    const button = document.createElement("button");
    button.textContent = control.caption;
    button.disabled = !control.enabled;
    const line = control.name === "cmdActiveExhibits" ? "exhibit " + control.index
      : control.name === "cmdExit" ? "exhibit exit" : null;
    if (line) button.addEventListener("click", () => act(line));
    return button;
  }

  function label(control) {
    const text = document.createElement("div");
    text.className = "label";
    text.textContent = control.caption;
    return text;
  }

  // The scroll container's bar: moving it asks the driver to scroll, and the next screen moves the content.
  function scrollbar(control, at, parentElement, box, shown) {
    const bar = document.createElement("div");
    bar.className = "scrollbar" + (shown && control.scrollingHeight > control.height ? "" : " hidden");
    bar.dataset.scrollbar = control.name;
    bar.style.left = px(at.left + at.width - 16);
    bar.style.top = px(at.top);
    bar.style.height = px(at.height);
    const spacer = document.createElement("div");
    spacer.style.height = px(control.scrollingHeight);
    spacer.style.width = "1px";
    bar.appendChild(spacer);
    parentElement.appendChild(bar);
    bar.scrollTop = control.verticalPosition;
    scrollSent.set(control.name, Math.round(control.verticalPosition * TWIPS_PER_PIXEL));
    // Pixels are coarser than twips: a bar at its end asks for the end itself.
    bar.addEventListener("scroll", () => {
      const atEnd = bar.scrollTop + bar.clientHeight >= bar.scrollHeight - 1;
      const twips = atEnd ? Math.max(0, Math.round((control.scrollingHeight - control.height) * TWIPS_PER_PIXEL))
        : Math.round(bar.scrollTop * TWIPS_PER_PIXEL);
      if (scrollSent.get(control.name) === twips) return;
      scrollSent.set(control.name, twips);
      act(atEnd ? "scroll end" : "scroll " + twips);
    });
    box.addEventListener("wheel", (event) => { event.preventDefault(); bar.scrollTop += event.deltaY; }, { passive: false });
    return bar;
  }

  function placeFrame(control, at, context, shown) {
    const record = control.frame ? frames.get(control.frame) : null;
    if (!record) return;
    const iframe = record.iframe;
    context.placed.add(record.id);
    iframe.dataset.control = control.name + (control.index >= 0 ? ":" + control.index : "");
    iframe.classList.toggle("hidden", !shown);
    iframe.style.zIndex = context.paint;
    const stageAt = { left: context.origin.left + at.left, top: context.origin.top + at.top, width: at.width, height: at.height };
    place(iframe, stageAt);
    const clip = context.clip;
    const top = Math.max(0, clip.top - stageAt.top), left = Math.max(0, clip.left - stageAt.left);
    const bottom = Math.max(0, stageAt.top + at.height - clip.bottom), right = Math.max(0, stageAt.left + at.width - clip.right);
    iframe.style.clipPath = top || left || bottom || right ? `inset(${top}px ${right}px ${bottom}px ${left}px)` : "";
    record.scrollbar = context.scrollbar || null;
  }

  // ---- the driver's panel ----------------------------------------------------------------

  function text(id, value) { document.getElementById(id).textContent = value === null || value === undefined ? "—" : String(value); }

  function list(id, items, describe) {
    const element = document.getElementById(id);
    element.replaceChildren(...items.map((item) => {
      const entry = document.createElement("li");
      entry.textContent = describe(item);
      return entry;
    }));
  }

  // A frame whose browser control is gone never comes back.
  function dropDeadFrames(live) {
    const alive = new Set(live);
    for (const [id, record] of frames) {
      if (alive.has(id)) continue;
      record.iframe.remove();
      frames.delete(id);
    }
  }

  function showView(message) {
    lastView = message.view;
    dropDeadFrames(message.frames || []);
    render(message.screen);
    const view = message.view;
    text("panel-status", view.status);
    text("panel-viewedall", view.viewedAll);
    text("panel-score", view.score ? `raw ${view.score.raw}, correct ${view.score.correct}, incorrect ${view.score.incorrect}` : null);
    text("panel-responses", view.responses ? `0: ${view.responses["0"]}\n1: ${view.responses["1"]}` : null);
    text("panel-event", view.lastEvent ? JSON.stringify(view.lastEvent) : null);
    text("panel-state", view.state);
    list("panel-messages", view.messages || [], (box) => `${box.text} → ${box.answer}`);
    list("panel-errors", view.errors || [], (error) => JSON.stringify(error));
    list("panel-log", (view.log || []).slice(-40), (entry) => `${entry.level} ${entry.routine}: ${entry.text}`);
    document.getElementById("driver-readonly").setAttribute("aria-pressed", String((message.options & 1) !== 0));
    document.getElementById("driver-showanswers").setAttribute("aria-pressed", String((message.options & 16) !== 0));
  }

  // Answers in the order of the box's buttons, by the style's lowest four bits.
  const MESSAGE_BUTTONS = {
    0: [["OK", 1]], 1: [["OK", 1], ["Cancel", 2]], 2: [["Abort", 3], ["Retry", 4], ["Ignore", 5]],
    3: [["Yes", 6], ["No", 7], ["Cancel", 2]], 4: [["Yes", 6], ["No", 7]], 5: [["Retry", 4], ["Cancel", 2]],
  };

  function showMessage(message) {
    const box = document.getElementById("message-box");
    document.getElementById("message-text").textContent = message.text;
    const buttons = document.getElementById("message-buttons");
    buttons.replaceChildren(...(MESSAGE_BUTTONS[message.style & 15] || MESSAGE_BUTTONS[0]).map(([caption, answer]) => {
      const button = document.createElement("button");
      button.textContent = caption;
      button.value = String(answer);
      button.addEventListener("click", () => send({ type: "messageAnswer", id: message.id, answer }));
      return button;
    }));
    box.showModal();
  }

  function receive(message) {
    switch (message.type) {
    case "load": return load(message);
    case "measure": return remeasure(message);
    case "view": return showView(message);
    case "message": return showMessage(message);
    case "eventResult": return eventResult(message);
    case "ping": return send({ type: "pong", id: message.id });
    case "error": window.velm.lastError = message.message; return console.warn("velm-host:", message.message);
    default: return undefined;
    }
  }

  function wirePanel() {
    for (const button of document.querySelectorAll("#panel [data-line]"))
      button.addEventListener("click", () => act(button.dataset.line));
    for (const button of document.querySelectorAll("#panel [data-command]"))
      button.addEventListener("click", () => send({ type: "driver", command: button.dataset.command }));
    document.getElementById("driver-resize").addEventListener("submit", (event) => {
      event.preventDefault();
      act("resize " + document.getElementById("driver-rect").value);
    });
  }

  // A letter typed while the choices have the focus selects a choice, as on the item's own window.
  function wireKeys() {
    document.addEventListener("keypress", (event) => {
      const choices = event.target.closest && event.target.closest('[data-name="pcChoicesContainer"]');
      if (!choices || event.key.length !== 1 || event.key === " ") return;
      event.preventDefault();
      act("key " + event.key);
    });
  }

  // The token leaves the address bar at once; the tab keeps it for a reload.
  function pageToken() {
    const given = new URLSearchParams(location.search).get("token");
    if (given) {
      sessionStorage.setItem("velm-token", given);
      history.replaceState(null, "", location.pathname);
    }
    return given || sessionStorage.getItem("velm-token") || "";
  }

  function connect() {
    const token = pageToken();
    socket = new WebSocket(`ws://${location.host}/ws?token=${encodeURIComponent(token)}`);
    socket.addEventListener("message", (event) => receive(JSON.parse(event.data)));
    socket.addEventListener("close", () => { window.velm.closed = true; });
  }

  wirePanel();
  wireKeys();
  connect();
})();
