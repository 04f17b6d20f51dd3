// The page's half of the browser's platform layer: the canvas and its zoom,
// the play timer, keys and clicks, the menus, tooltips and dialogs, Web Audio
// and the gamepad. It runs inside the game's module (linked with --post-js),
// so it reaches the game's exported Web* functions and its memory directly.
(function () {
  "use strict";
  var W = 640, H = 480, TICK_MS = 32;
  var IDM = { NEW: 500, OPTIONS: 501, SCORES: 502, WARP: 503, HELP: 504, QUIT: 505, ABORT: 506,
    MUSIC: 507, SOUND: 508, ABOUT: 1000, CLEAR: 40004, PAUSE: 40005 };
  var TIPS = ["Start a new game", "Set game options", "Display high scores",
    "Enter a code to start a new level", "Show detailed help", "Quit the game"];
  var params = new URLSearchParams(location.search);
  var $ = function (id) { return document.getElementById(id); };
  var picture = $("picture"), textCanvas = $("text"), stage = $("stage");
  var ctx = picture.getContext("2d"), tctx = textCanvas.getContext("2d");
  var zoom = 1, busy = 0, hidden = 0, started = 0;
  var textSlots = [];

  // --- The picture -------------------------------------------------------------
  Module.quarrionPut = function (p, l, t, r, b) {
    var w = r - l, h = b - t, img = ctx.createImageData(w, h), d = new Uint32Array(img.data.buffer);
    d.set(HEAPU32.subarray(p >> 2, (p >> 2) + w * h));
    ctx.putImageData(img, l, t);
    if (!Module.quarrionDrawn) Module.quarrionFirstDrawn = performance.now();
    if (r > 511) copyButtons();
    Module.quarrionDrawn = (Module.quarrionDrawn || 0) + 1;
  };

  function drawText() {
    tctx.setTransform(1, 0, 0, 1, 0, 0);
    tctx.clearRect(0, 0, textCanvas.width, textCanvas.height);
    // The panel's font: Arial of 10 points, bold, 13 pixels at 96 dots per
    // inch (Liberation Sans has its metrics), centred at the top of its line.
    tctx.textAlign = "center";
    tctx.textBaseline = "top";
    tctx.font = "bold " + (13 * zoom) + 'px Arial, "Liberation Sans", Helvetica, sans-serif';
    textSlots.forEach(function (s) {
      if (!s || !s.text) return;
      tctx.fillStyle = "#" + ("00000" + s.color.toString(16)).slice(-6);
      tctx.fillText(s.text, (s.l + s.r) / 2 * zoom, s.t * zoom);
    });
  }
  Module.quarrionText = function (slot, text, l, t, r, b, color) {
    textSlots[slot] = { text: text, l: l, t: t, r: r, b: b, color: color };
    drawText();
  };
  Module.quarrionTextOf = function () {
    return textSlots.map(function (s) { return s ? s.text : ""; });
  };

  // A phone: a touch screen on which the picture does not fit at zoom 1.
  var coarse = window.matchMedia ? matchMedia("(pointer: coarse)") : null;
  function phoneLayout(menuH) {
    if (!coarse || !coarse.matches || (innerWidth >= W + 4 && innerHeight >= H + 4 + menuH)) return "";
    return innerHeight >= innerWidth ? "portrait" : "landscape";
  }
  // On a phone the picture fills the width (portrait) or the height
  // (landscape): at a whole zoom where one fits, else at the size that fills
  // it in whole device pixels, drawn nearest-neighbour, so it stays sharp.
  function phoneZoom(layout, menuH) {
    var portrait = layout === "portrait", avail = portrait ? innerWidth - 4 : innerHeight - 4 - menuH;
    var size = portrait ? W : H, dpr = window.devicePixelRatio || 1;
    if (avail >= size) return Math.min(8, Math.floor(avail / size));
    return Math.floor(avail * dpr) / dpr / size;
  }

  // The largest whole zoom that fits the page, or the one ?zoom=N asks for.
  function fitZoom() {
    var forced = parseInt(params.get("zoom") || "", 10);
    var menuH = $("menubar").classList.contains("off") ? 0 : 19;
    var z = Math.max(1, Math.min(8, Math.floor(Math.min((innerWidth - 4) / W, (innerHeight - 4 - menuH) / H))));
    var pref = started ? _WebZoomPref() : 0;
    var layout = forced >= 1 ? "" : phoneLayout(menuH);
    if (forced >= 1 && forced <= 8) z = forced;
    else if (layout) z = phoneZoom(layout, menuH);
    else if (pref >= 1 && pref <= z && !document.fullscreenElement) z = pref;
    zoom = z;
    var w = Math.round(W * z), h = Math.round(H * z);
    [picture, textCanvas].forEach(function (c) { c.style.width = w + "px"; c.style.height = h + "px"; });
    textCanvas.width = w;
    textCanvas.height = h;
    drawText();
    fitBar(layout, w + 4, h + 4 + menuH);
  }

  // --- The phone's six buttons --------------------------------------------------------
  // The picture's buttons are too small to hit on a phone, so six large ones
  // show the same pictures beside it, at least 9 mm each (60 CSS pixels: a
  // phone's CSS pixel is about a 160th of an inch).
  var BAR_MIN = 60, BAR_GAP = 8;
  var bar = document.createElement("div"), barCanvas = [];
  bar.id = "bar";
  for (var i = 0; i < 6; i++) {
    var bt = document.createElement("button"), bc = document.createElement("canvas");
    bt.className = "tb";
    bt.dataset.button = i;
    bc.width = 83;
    bc.height = 55;
    bt.appendChild(bc);
    bar.appendChild(bt);
    barCanvas.push(bc.getContext("2d"));
  }
  document.body.insertBefore(bar, $("cover"));
  var barShown = false;
  function fitBar(layout, picW, picH) {
    document.body.classList.toggle("phone", !!layout);
    document.body.classList.toggle("portrait", layout === "portrait");
    document.body.classList.toggle("landscape", layout === "landscape");
    barShown = !!layout;
    if (!layout) return;
    var cols = layout === "portrait" ? 3 : 2, rows = 6 / cols;
    var availW = (layout === "portrait" ? innerWidth : innerWidth - picW) - 3 * BAR_GAP;
    var availH = (layout === "portrait" ? innerHeight - picH : innerHeight) - 3 * BAR_GAP;
    var bw = Math.floor((availW - (cols - 1) * BAR_GAP) / cols), bh = Math.floor(bw * 55 / 83);
    if (rows * bh + (rows - 1) * BAR_GAP > availH) {
      bh = Math.floor((availH - (rows - 1) * BAR_GAP) / rows);
      bw = Math.floor(bh * 83 / 55);
    }
    bw = Math.max(bw, BAR_MIN);
    bh = Math.max(bh, BAR_MIN);
    bar.style.gridTemplateColumns = "repeat(" + cols + ", " + bw + "px)";
    bar.style.gridAutoRows = bh + "px";
    copyButtons();
  }
  function copyButtons() {
    if (!barShown) return;
    barCanvas.forEach(function (c, i) { c.drawImage(picture, 511, 40 + 70 * i, 83, 55, 0, 0, 83, 55); });
  }
  addEventListener("resize", fitZoom);

  function fullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(function () {});
  }
  document.addEventListener("fullscreenchange", function () {
    fitZoom();
    if (started) _WebSetZoomPref(_WebZoomPref(), document.fullscreenElement ? 1 : 0);
  });

  // --- Sound -------------------------------------------------------------------
  var AC = window.AudioContext || window.webkitAudioContext;
  var audio = { ctx: null, out: null, analyser: null, effects: {}, current: null, musicOn: 0,
    queued: [], next: 0, buf: 0 };
  Module.quarrionEffects = [];
  var MUSIC_FRAMES = 2048, MUSIC_AHEAD = 0.3;

  function readWav(bytes) {
    var v = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    var rate = 11025, bits = 8, channels = 1, data = null;
    for (var at = 12; at + 8 <= bytes.length;) {
      var id = String.fromCharCode(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
      var size = v.getUint32(at + 4, true);
      if (id === "fmt ") { channels = v.getUint16(at + 10, true); rate = v.getUint32(at + 12, true); bits = v.getUint16(at + 22, true); }
      if (id === "data") data = bytes.subarray(at + 8, Math.min(bytes.length, at + 8 + size));
      at += 8 + size + (size & 1);
    }
    if (!data) return null;
    var n = Math.floor(data.length / (bits / 8) / channels), f = new Float32Array(n);
    for (var i = 0; i < n; i++)
      f[i] = bits === 8 ? (data[i * channels] - 128) / 128 : v.getInt16(data.byteOffset - bytes.byteOffset + i * 2 * channels, true) / 32768;
    return { rate: rate, samples: f };
  }

  function audioUnlock() {
    if (audio.ctx || !AC) return;
    try {
      audio.ctx = new AC();
      audio.out = audio.ctx.createGain();
      audio.analyser = audio.ctx.createAnalyser();
      audio.analyser.fftSize = 2048;
      audio.out.connect(audio.analyser);
      audio.analyser.connect(audio.ctx.destination);
      Module.quarrionAnalyser = audio.analyser;
    } catch (e) { audio.ctx = null; return; }
    if (audio.ctx.state === "suspended") audio.ctx.resume();
    $("notice").textContent = "";
    document.title = "Quarrion v1.52";
    if (audio.musicOn) { audio.next = 0; }
  }

  // A touch lets the page sound only when it ends.
  function audioWake() {
    audioUnlock();
    if (audio.ctx && audio.ctx.state === "suspended") audio.ctx.resume();
  }

  function effectBuffer(name) {
    var e = audio.effects[name];
    if (e === undefined) {
      e = null;
      try { var w = readWav(FS.readFile("/data/" + name + ".wav")); if (w) {
        e = audio.ctx.createBuffer(1, w.samples.length, w.rate); e.getChannelData(0).set(w.samples); } } catch (x) { e = null; }
      audio.effects[name] = e;
    }
    return e;
  }

  Module.quarrionAudio = {
    ready: function () { return AC && !Module.quarrionNoAudio ? 1 : 0; },
    play: function (name) {
      if (!audio.ctx || hidden) return 0;
      if (audio.current) { try { audio.current.stop(); } catch (e) {} audio.current = null; }
      var b = effectBuffer(name);
      if (!b) return 0;
      var s = audio.ctx.createBufferSource();
      s.buffer = b; s.connect(audio.out); s.start();
      audio.current = s;
      Module.quarrionEffects.push(name);
      return Math.ceil(b.duration * 1000);
    },
    beep: function () {
      if (!audio.ctx) return 0;
      var o = audio.ctx.createOscillator(), g = audio.ctx.createGain(), t = audio.ctx.currentTime;
      o.frequency.value = 880; g.gain.setValueAtTime(0.2, t); g.gain.linearRampToValueAtTime(0, t + 0.12);
      o.connect(g); g.connect(audio.out); o.start(t); o.stop(t + 0.13);
      return 1;
    },
    music: function (on) {
      audio.musicOn = on;
      if (!on) { audio.queued.forEach(function (s) { try { s.stop(); } catch (e) {} }); audio.queued = []; audio.next = 0; }
    }
  };

  // The music's blocks, rendered by the synthesizer a little ahead of time.
  var musicMs = 0, musicFrames = 0;
  function musicPump() {
    if (!audio.ctx || !audio.musicOn || hidden) return;
    if (!audio.buf) audio.buf = _malloc(MUSIC_FRAMES * 4);
    var now = audio.ctx.currentTime;
    if (audio.next < now) audio.next = now + 0.05;
    while (audio.next < now + MUSIC_AHEAD && audio.musicOn) {
      var t0 = performance.now();
      var on = _WebMusicRender(audio.buf, MUSIC_FRAMES);
      musicMs += performance.now() - t0; musicFrames += MUSIC_FRAMES;
      if (!on) break;
      var b = audio.ctx.createBuffer(2, MUSIC_FRAMES, 44100), L = b.getChannelData(0), R = b.getChannelData(1);
      var pcm = HEAP16, base = audio.buf >> 1;
      for (var i = 0; i < MUSIC_FRAMES; i++) { L[i] = pcm[base + 2 * i] / 32768; R[i] = pcm[base + 2 * i + 1] / 32768; }
      var s = audio.ctx.createBufferSource();
      s.buffer = b; s.connect(audio.out); s.start(audio.next);
      if (on === 2) s.addEventListener("ended", function () { _WebMusicEndPlayed(); });
      audio.next += MUSIC_FRAMES / 44100;
      audio.queued.push(s);
      s.onended = function () { var k = audio.queued.indexOf(this); if (k >= 0) audio.queued.splice(k, 1); };
    }
  }
  Module.quarrionMusicCost = function () { return { ms: musicMs, seconds: musicFrames / 44100 }; };

  // --- Hiding (Escape) -----------------------------------------------------------
  Module.quarrionHide = function () {
    hidden = 1;
    stage.classList.add("hidden");
    if (audio.current) { try { audio.current.stop(); } catch (e) {} }
    if (audio.ctx && audio.ctx.suspend) audio.ctx.suspend();
  };
  function unhide() {
    if (!hidden) return;
    hidden = 0;
    stage.classList.remove("hidden");
    if (audio.ctx && audio.ctx.resume) audio.ctx.resume();
    _WebRestore();
  }

  // --- Menus ----------------------------------------------------------------------
  var openMenu = null;
  function state() { return started ? _WebMenuState() : 0; }
  function menuItems(which) {
    var s = state(), run = s & 1, paused = s & 2, musicOk = s & 4, musicOn = s & 8, soundOk = s & 16, soundOn = s & 32;
    var sizes = { text: "Window Size", sub: function () {
      var list = [{ text: "Largest that fits", id: "z0", checked: !params.get("zoom") && _WebZoomPref() === 0 }];
      for (var z = 1; z <= 8; z++) list.push({ text: z + " x (" + W * z + " x " + H * z + ")", id: "z" + z, checked: zoom === z && _WebZoomPref() === z });
      list.push({ sep: 1 }, { text: "Full Screen", acc: "Alt+Enter", id: "fs", checked: !!document.fullscreenElement });
      return list; } };
    var device = { text: "Music Device", sub: function () {
      return [{ text: "Built-in Synthesizer", id: 0, checked: 1, grey: !soundOk }, { text: "System MIDI", id: 0, grey: 1 }]; } };
    if (which === "File") return [{ text: "New Game", acc: "ALT+N", id: IDM.NEW }, { text: "Abort Game", acc: "ALT+A", id: IDM.ABORT, grey: !run },
      { sep: 1 }, { text: "Warp", acc: "ALT+W", id: IDM.WARP }, { sep: 1 }, { text: "Quit", acc: "ALT+Q", id: IDM.QUIT }];
    if (which === "Settings") return [{ text: "Options...", id: IDM.OPTIONS }, { sep: 1 }, { text: "Show High Scores", id: IDM.SCORES },
      { text: "Clear High Scores", id: IDM.CLEAR }, { sep: 1 }, { text: "Sound", acc: "TAB", id: IDM.SOUND, grey: !soundOk, checked: soundOn },
      { text: "Music", acc: "M", id: IDM.MUSIC, grey: !musicOk, checked: musicOn }, { sep: 1 },
      { text: "Paused", acc: "P", id: IDM.PAUSE, grey: !run, checked: run && paused }, { sep: 1 }, sizes, device];
    if (which === "Help") return [{ text: "About Quarrion...", id: IDM.ABOUT }, { sep: 1 }, { text: "Help...", id: IDM.HELP }];
    var list = [{ text: "New", id: IDM.NEW }, { text: "Options", id: IDM.OPTIONS }, { text: "Scores", id: IDM.SCORES },
      { text: "Warp", id: IDM.WARP }, { text: "Help", id: IDM.HELP }, { sep: 1 }];
    if (run) list.push({ text: "Abort current game", id: IDM.ABORT }, { sep: 1 });
    list.push({ text: "Clear High Scores", id: IDM.CLEAR }, { text: "About...", id: IDM.ABOUT }, sizes, device,
      { sep: 1 }, { text: "Quit", acc: "Alt+F4", id: IDM.QUIT });
    return list;
  }
  function closeMenus() {
    document.querySelectorAll(".menu").forEach(function (m) { m.remove(); });
    document.querySelectorAll(".mtop.open").forEach(function (m) { m.classList.remove("open"); });
    openMenu = null;
  }
  function choose(id) {
    closeMenus();
    if (typeof id === "string") {
      if (id === "fs") fullScreen();
      else { _WebSetZoomPref(parseInt(id.slice(1), 10), 0); params.delete("zoom"); fitZoom(); }
      return;
    }
    if (id) command(id);
  }
  function showMenu(items, x, y, level) {
    var m = document.createElement("div");
    m.className = "menu";
    m.dataset.level = level || 0;
    items.forEach(function (it) {
      var d = document.createElement("div");
      if (it.sep) { d.className = "sep"; m.appendChild(d); return; }
      d.className = "mi" + (it.grey ? " grey" : "") + (it.checked ? " checked" : "") + (it.sub ? " sub" : "");
      d.textContent = it.text;
      if (it.acc) { var a = document.createElement("span"); a.className = "acc"; a.textContent = it.acc; d.appendChild(a); }
      d.addEventListener("mouseenter", function () {
        m.querySelectorAll(".hot").forEach(function (h) { h.classList.remove("hot"); });
        d.classList.add("hot");
        document.querySelectorAll(".menu").forEach(function (o) { if (+o.dataset.level > (level || 0)) o.remove(); });
        if (it.sub) { var r = d.getBoundingClientRect(); showMenu(it.sub(), r.right - 2, r.top - 3, (level || 0) + 1); }
      });
      d.addEventListener("mouseup", function (e) { e.stopPropagation(); if (!it.grey && !it.sub) choose(it.id); });
      m.appendChild(d);
    });
    document.body.appendChild(m);
    var r = m.getBoundingClientRect();
    m.style.left = Math.max(0, Math.min(x, innerWidth - r.width)) + "px";
    m.style.top = Math.max(0, Math.min(y, innerHeight - r.height)) + "px";
    return m;
  }
  function buildMenuBar() {
    var bar = $("menubar");
    bar.innerHTML = "";
    ["File", "Settings", "Help"].forEach(function (name) {
      var t = document.createElement("div");
      t.className = "mtop";
      t.textContent = name;
      t.addEventListener("mousedown", function (e) {
        e.stopPropagation();
        if (openMenu === name) { closeMenus(); return; }
        if (busy) return;
        _WebMenuOpening();
        closeMenus();
        openMenu = name;
        t.classList.add("open");
        var r = t.getBoundingClientRect();
        showMenu(menuItems(name), r.left, r.bottom);
      });
      bar.appendChild(t);
    });
  }
  Module.quarrionMenuChanged = function () {
    var off = !(state() & 64);
    if ($("menubar").classList.contains("off") !== off) { $("menubar").classList.toggle("off", off); fitZoom(); }
  };
  document.addEventListener("mousedown", function (e) { if (!e.target.closest(".menu")) closeMenus(); });
  Module.quarrionMenu = function (which) { return menuItems(which); };

  // --- Dialogs --------------------------------------------------------------------
  function el(tag, props, kids) {
    var e = document.createElement(tag);
    for (var k in props || {}) { if (k === "style") e.style.cssText = props[k]; else e[k] = props[k]; }
    (kids || []).forEach(function (c) { e.appendChild(typeof c === "string" ? document.createTextNode(c) : c); });
    return e;
  }
  // A file of the game's data (an icon, the cursor) as an address for the page.
  var assetUrls = {};
  function assetUrl(name) {
    if (assetUrls[name] === undefined) {
      try { assetUrls[name] = URL.createObjectURL(new Blob([FS.readFile("/data/" + name)])); } catch (e) { assetUrls[name] = ""; }
    }
    return assetUrls[name];
  }
  function icon(name, style) { return el("img", { src: assetUrl(name + ".ico"), width: 32, height: 32, style: style || "" }); }

  // A bitmap of the game's data drawn on a canvas at (x, y), design pixels.
  var scratch = 0;
  function drawBitmap(c2d, name, x, y) {
    if (!scratch) scratch = _malloc(64);
    var p = withName(name, function (n) { return _WebBitmapPixels(n, scratch); }) >> 2;
    if (!p) return;
    var w = HEAP32[scratch >> 2], h = HEAP32[(scratch >> 2) + 1], stride = HEAP32[(scratch >> 2) + 2];
    var img = c2d.createImageData(w, h), d = img.data;
    for (var j = 0; j < h; j++)
      for (var i = 0; i < w; i++) {
        var v = HEAPU32[p + j * stride + i], k = 4 * (j * w + i);
        d[k] = v >> 16 & 255; d[k + 1] = v >> 8 & 255; d[k + 2] = v & 255; d[k + 3] = 255;
      }
    c2d.putImageData(img, x, y);
  }
  function withName(name, f) {
    var n = lengthBytesUTF8(name) + 1, p = _malloc(n);
    stringToUTF8(name, p, n);
    try { return f(p); } finally { _free(p); }
  }
  function pictureCanvas(w, h) {
    var c = el("canvas", { width: w, height: h });
    c.style.cssText = "display:block; image-rendering:pixelated; width:" + w * zoom + "px; height:" + h * zoom + "px";
    var c2d = c.getContext("2d");
    c2d.fillStyle = "#c0c0c0";
    c2d.fillRect(0, 0, w, h);
    return { canvas: c, c2d: c2d };
  }
  var TILE_W = 40, TILE_H = 48; // a tumbling tile's picture
  var COLOR_WORDS = ["GREEN", "RED", "YELLOW", "BLUE", "PURPLE", "WHITE", "DRED", "LBLUE"];

  // A modal box: the game waits for it (its promise), Enter presses the
  // default button and Escape the cancel one, as the window's dialogs do.
  function modal(caption, body, buttons, onKey) {
    return new Promise(function (resolve) {
      busy += 1;
      if (busy === 1 && started) _WebSetActive(0);
      closeMenus();
      $("cover").style.display = "block";
      var box = el("div", { className: "dlg" });
      box.setAttribute("role", "dialog");
      if (caption !== null) {
        var cap = el("div", { className: "cap" }, [caption]);
        if (buttons.cancel !== undefined) { var x = el("span", { className: "x", textContent: "x" }); x.onclick = function () { done(buttons.cancel); }; cap.appendChild(x); }
        box.appendChild(cap);
      }
      var inner = el("div", { className: "body" }, [body]);
      box.appendChild(inner);
      var row = el("div", { className: "row" }), first = null;
      (buttons.list || []).forEach(function (b) {
        var btn = el("button", { textContent: b.text, className: b.def ? "def" : "" });
        btn.dataset.result = b.result;
        btn.onclick = function () { b.act ? b.act(done) : done(b.result); };
        row.appendChild(btn);
        if (b.def && !first) first = btn;
      });
      if (row.childNodes.length) inner.appendChild(row);
      document.body.appendChild(box);
      var focus = box.querySelector("input[type=text]") || first || box.querySelector("button");
      if (focus) focus.focus();
      function key(e) {
        if (onKey && onKey(e, done)) { e.preventDefault(); e.stopPropagation(); return; }
        if (e.key === "Enter" || e.key === "Escape") e.stopPropagation();
        if (e.key === "Enter") {
          e.preventDefault();
          var f = document.activeElement;
          if (f && f.tagName === "BUTTON" && box.contains(f)) f.click();
          else if (buttons.enter !== undefined) buttons.enter(done);
          else if (first) first.click();
        } else if (e.key === "Escape" && buttons.cancel !== undefined) { e.preventDefault(); done(buttons.cancel); }
      }
      modalKeys.push(key);
      var finished = false;
      function done(result, text) {
        if (finished) return;
        finished = true;
        modalKeys.splice(modalKeys.indexOf(key), 1);
        openBoxes.splice(openBoxes.indexOf(box), 1);
        Module.quarrionOpenDialog = openBoxes[openBoxes.length - 1] || null;
        box.remove();
        busy -= 1;
        if (!busy) { $("cover").style.display = "none"; if (started) _WebSetActive(!document.hidden ? 1 : 0); }
        resolve({ result: result, text: text || "" });
      }
      box.quarrionDone = function (r) { done(r); };
      openBoxes.push(box);
      Module.quarrionOpenDialog = box;
    });
  }
  // The keys go to the dialog on top, wherever the page's focus is.
  var modalKeys = [], openBoxes = [];
  document.addEventListener("keydown", function (e) {
    if (modalKeys.length) modalKeys[modalKeys.length - 1](e);
  }, true);
  function dialogDone(box, result) { if (box && box.quarrionDone) box.quarrionDone(result); }
  function lines(s) { return s.split("\n"); }
  function bevelled(kids, style) { return el("div", { style: "border: 2px inset #fff; padding: 6px; " + (style || "") }, kids); }

  var dialogs = {
    question: function (text, defaultNo) {
      return modal("Quarrion v1.52", el("div", { style: "display:flex; gap:12px; align-items:center; padding:4px 8px" },
        [el("span", { style: "font-size:26px; color:#000080", textContent: "?" }), el("div", { textContent: text })]),
        { list: [{ text: "Yes", result: 1, def: !defaultNo }, { text: "No", result: 0, def: !!defaultNo }], cancel: 0 });
    },
    warning: function (text) {
      return modal("Quarrion v1.52", el("div", { style: "display:flex; gap:12px; align-items:center; padding:4px 8px; white-space:pre-line; max-width:420px" },
        [el("span", { style: "font-size:26px; color:#c0a000", textContent: "\u26A0" }), el("div", { textContent: text })]),
        { list: [{ text: "OK", result: 1, def: 1 }], cancel: 1 });
    },
    about: function () {
      var t = ["Quarrion \u00AE", "Version 1.52", "\u00A9 1996-2026", "The Quarrion team", "MIT licence.",
        "Design, code, art, sound: the Quarrion team."];
      var logo = pictureCanvas(90, 54);
      drawBitmap(logo.c2d, "KVOLOGO", 0, 0);
      logo.canvas.style.cssText += "; float:right; width:auto; height:auto";
      return modal("About...", el("fieldset", { style: "text-align:center; line-height:1.7; min-width:300px" },
        [icon("MAINICON", "float:left"), logo.canvas].concat(t.map(function (s) { return el("div", { textContent: s }); }))), { list: [{ text: "OK", result: 1, def: 1 }], cancel: 1 });
    },
    scores: function (show) {
      var l = lines(show), table = el("table", { className: "hs" });
      table.appendChild(el("tr", {}, ["Rank", "Name", "Score", "Level"].map(function (h) { return el("th", { textContent: h, style: "color:#000" }); })));
      for (var k = 0; k < 10; k++) {
        var f = (l[1 + k] || "").split("\t");
        table.appendChild(el("tr", {}, f.map(function (c, i) { return el("td", { textContent: c, style: i === 0 || i === 3 ? "text-align:right" : "" }); })));
      }
      var top = el("div", { textContent: l[0], style: "text-align:center; margin-bottom:6px; color:#007f00" });
      var heading = el("div", { textContent: "TOP TEN HIGH SCORES", style: "text-align:center; border:1px solid #000; margin:0 auto 6px; width:180px; color:#f00" });
      var tiles = [pictureCanvas(TILE_W, TILE_H), pictureCanvas(TILE_W, TILE_H)];
      tiles.forEach(function (t) { t.canvas.style.position = "absolute"; t.canvas.style.top = 7 * zoom + "px"; });
      var body = el("div", { style: "position:relative; width:" + 413 * zoom + "px; color:#00f" }, [top, heading, table, tiles[0].canvas, tiles[1].canvas]);
      var out = _malloc(24 + 64);
      // The dialog's 20 ms timer: the tiles turn, the top line switches.
      var timer = setInterval(function () {
        if (_WebHiScoreTick(out, out + 24, 64)) top.textContent = UTF8ToString(out + 24);
        for (var i = 0; i < 2; i++) {
          var x = HEAP32[(out >> 2) + 3 * i], c = HEAP32[(out >> 2) + 3 * i + 1], fr = HEAP32[(out >> 2) + 3 * i + 2];
          tiles[i].canvas.style.left = x * zoom + "px";
          drawBitmap(tiles[i].c2d, COLOR_WORDS[c] + "TILE" + fr, 0, 0);
        }
      }, 20);
      var p = modal("Quarrion High Scores", body, { list: [], cancel: 1, enter: function (d) { d(1); } });
      var box = Module.quarrionOpenDialog;
      // A click closes it; the right button offers Clear High Scores and Close.
      body.addEventListener("mousedown", function (e) { if (e.button === 0 && !document.querySelector(".menu")) dialogDone(box, 1); });
      body.addEventListener("contextmenu", function (e) {
        e.preventDefault();
        closeMenus();
        showMenu([{ text: "Clear High Scores", id: "clear" }, { sep: 1 }, { text: "Close", acc: "Alt+F4", id: "close" }],
          e.clientX, e.clientY).addEventListener("mouseup", function (ev) {
          var t = ev.target.closest(".mi");
          ev.stopPropagation();
          if (!t) return;
          closeMenus();
          dialogDone(box, t.firstChild.textContent === "Clear High Scores" ? 2 : 1);
        }, true);
      });
      return p.then(function (r) { clearInterval(timer); _free(out); return r; });
    },
    newscore: function (last, limit) {
      var input = el("input", { type: "text", maxLength: limit, value: last, style: "width:150px" });
      var ok;
      var p = modal("New High Score!", el("div", {}, [
        icon("MAINICON", "float:left; margin-right:8px"),
        el("fieldset", { textContent: "Congratulations!  Your score places in the top ten!!", style: "max-width:240px" }),
        el("div", { textContent: "Please enter your name:", style: "margin-top:8px" }), input]),
        { list: [{ text: "OK", def: 1, act: function (d) { if (input.value.length) d(1, input.value); } }],
          cancel: 0, enter: function (d) { if (input.value.length) d(1, input.value); } });
      ok = document.querySelector(".dlg button.def");
      var sync = function () { ok.disabled = !input.value.length; };
      input.addEventListener("input", sync); sync();
      return p;
    },
    warp: function (code, limit) {
      // The field takes capitals, as typed letters become there on Windows.
      var input = el("input", { type: "text", maxLength: limit, value: code, style: "width:110px; text-align:center" });
      input.addEventListener("input", function () {
        var at = input.selectionStart;
        input.value = input.value.toUpperCase();
        input.setSelectionRange(at, at);
      });
      return modal("Level Warp", el("fieldset", { style: "text-align:center" }, [el("div", { textContent: "Enter Code:" }),
        el("div", { style: "display:flex; align-items:center; gap:6px" }, [icon("WARPICON"), input, icon("WARPICON")])]),
        { list: [{ text: "OK", def: 1, act: function (d) { d(1, input.value.toUpperCase()); } }, { text: "Cancel", result: 0 }],
          cancel: 0, enter: function (d) { d(1, input.value.toUpperCase()); } });
    },
    options: function (show, v) {
      var speed = v & 15, names = ["Slow", "Normal", "Fast", "Insane"], tips = ["Tiles fall slowly", "Tiles fall at a medium pace", "Tiles fall quickly", "Tiles come tumbling down"];
      var radios = names.map(function (n, i) {
        var r = el("input", { type: "radio", name: "speed", checked: i === speed, title: "" });
        r.dataset.tip = tips[i];
        return el("label", { style: "display:block" }, [r, n]);
      });
      function box(text, bit, tip) {
        var c = el("input", { type: "checkbox", checked: !!(v >> (bit + 1) & 1), disabled: !(v >> bit & 1) });
        c.dataset.tip = tip;
        return el("label", { style: "display:block" + (c.disabled ? "; color:#808080" : "") }, [c, text]);
      }
      var boxes = [box("Sound", 4, "Toggle sound on/off"), box("Music", 6, "Toggle music on/off"),
        box("Continuous", 8, "Music changes with levels (if unchecked)"), box("Use Menu", 10, "Toggle main window menu on/off"),
        box("Patterns", 12, "Allow background patterns to change with levels")];
      var group = function (title, kids) { return el("fieldset", { style: "min-width:90px" }, [el("legend", { textContent: title })].concat(kids)); };
      function result() {
        var n = 0;
        radios.forEach(function (r, i) { if (r.firstChild.checked) n = i; });
        [4, 6, 8, 10, 12].forEach(function (bit, i) { var c = boxes[i].firstChild; if (c.checked && !c.disabled) n |= 1 << (bit + 1); });
        return n;
      }
      var p = modal("Options", el("div", { style: "display:flex; gap:10px" }, [group("Speed", radios),
        group("Sound", [icon("SOUNDICON", "float:right")].concat(boxes.slice(0, 3))), group("Misc", boxes.slice(3))]),
        { list: [{ text: "OK", def: 1, act: function (d) { d(result()); } }, { text: "Cancel", result: -1 }], cancel: -1,
          enter: function (d) { d(result()); } });
      var b = document.querySelectorAll(".dlg button");
      b[0].dataset.tip = "Save changes"; b[1].dataset.tip = "Ignore changes";
      return p;
    },
    leveldone: function (show) {
      // The border flashes through the design's six colours every 150 ms.
      var l = lines(show), colours = ["#f00", "#00f", "#f0f", "#ff0", "#0f0", "#0ff"], k = 0;
      var frame = el("div", { className: "flash" }, l.slice(0, 6).map(function (s, i) {
        return el("div", { textContent: s, style: "color:#00f" + (i === 0 || i === 4 ? "; font-weight:bold" : "") }); }));
      var timer = setInterval(function () { k = (k + 1) % 6; frame.style.borderColor = colours[k]; }, 150);
      return modal(null, frame, { list: [{ text: "Continue", result: 1, def: 1 }] }).then(function (r) { clearInterval(timer); return r; });
    },
    ending: function (show, limit) {
      var pic = pictureCanvas(640, 480), input = null;
      pic.c2d.fillStyle = "#fff";
      pic.c2d.fillRect(0, 0, 640, 480);
      drawBitmap(pic.c2d, limit ? "ENDING" : "ENDING2", 70, 40);
      var kids = [pic.canvas];
      if (limit) {
        input = el("input", { type: "text", maxLength: limit });
        input.style.cssText = "position:absolute; left:" + 73 * zoom + "px; top:" + 262 * zoom + "px; width:" + 208 * zoom + "px";
        kids.push(input);
      }
      return modal(null, el("div", { style: "position:relative" }, kids), { list: [],
        enter: function (d) { d(1, input ? input.value : ""); } });
    },
    help: function (show) {
      var topics = [], cur = null;
      lines(show).forEach(function (s) {
        if (!s) return;
        var f = s.split("\t");
        f.picture = parseInt(f[0].slice(1), 10);
        f[0] = f[0][0];
        if (f[0] === "T") { cur = { title: f[1], blocks: [] }; topics.push(cur); } else if (cur) cur.blocks.push(f);
      });
      var list = el("ul"), page = el("div", { className: "page" }), sel = 0;
      function pick(i) {
        sel = Math.max(0, Math.min(topics.length - 1, i));
        list.querySelectorAll("li").forEach(function (li, j) { li.classList.toggle("sel", j === sel); });
        page.innerHTML = "";
        if (!topics.length) { page.textContent = show; return; }
        page.appendChild(el("h3", { textContent: topics[sel].title, style: "font-size:15px" }));
        var keys = null;
        topics[sel].blocks.forEach(function (b) {
          if (b[0] !== "K") keys = null;
          if (b[0] === "H") page.appendChild(el("h3", { textContent: b[1] }));
          else if (b[0] === "P") page.appendChild(el("p", { textContent: b[1] }));
          else if (b[0] === "I") page.appendChild(helpPicture(b));
          else if (b[0] === "K") {
            if (!keys) { keys = el("table"); page.appendChild(keys); }
            keys.appendChild(el("tr", {}, [el("td", { textContent: b[1], style: "font-weight:bold" }), el("td", { textContent: b[2] || "" })]));
          }
        });
        page.scrollTop = 0;
      }
      topics.forEach(function (t, i) { var li = el("li", { textContent: t.title }); li.onclick = function () { pick(i); }; list.appendChild(li); });
      pick(0);
      return modal("Quarrion Help", el("div", { id: "help" }, [list, page]), { list: [{ text: "Close", result: 1, def: 1 }], cancel: 1 },
        function (e) {
          if (e.key === "ArrowDown" || e.key === "ArrowUp") { pick(sel + (e.key === "ArrowDown" ? 1 : -1)); return true; }
          if (e.key === "PageDown" || e.key === "End") { page.scrollTop += page.clientHeight - 20; return true; }
          if (e.key === "PageUp" || e.key === "Home") { page.scrollTop -= page.clientHeight - 20; return true; }
          return false;
        });
    }
  };
  // A picture of the help: the game's drawing of it made zoom times larger,
  // its words written over it at that size so they stay sharp, its title
  // above and its caption below.
  function helpPicture(b) {
    var box = el("div", { className: "pic" }, [el("div", { textContent: b[1], style: "font-weight:bold" })]);
    var size = _malloc(8), p = _WebHelpPixels(b.picture, size) >> 2;
    if (p) {
      var w = HEAP32[size >> 2], h = HEAP32[(size >> 2) + 1];
      var design = el("canvas", { width: w, height: h }), d2d = design.getContext("2d"), img = d2d.createImageData(w, h);
      for (var i = 0; i < w * h; i++) {
        var v = HEAPU32[p + i];
        img.data[4 * i] = v >> 16 & 255; img.data[4 * i + 1] = v >> 8 & 255; img.data[4 * i + 2] = v & 255; img.data[4 * i + 3] = 255;
      }
      d2d.putImageData(img, 0, 0);
      var c = el("canvas", { width: w * zoom, height: h * zoom }), c2d = c.getContext("2d");
      c2d.imageSmoothingEnabled = false;
      c2d.drawImage(design, 0, 0, w * zoom, h * zoom);
      // Each word in the panel's font, aligned in its rectangle as the game says.
      c2d.font = "bold " + 13 * zoom + 'px Arial, "Liberation Sans", Helvetica, sans-serif';
      var out = _malloc(24), r = HEAP32.subarray(out >> 2, (out >> 2) + 6), s;
      for (var k = 0; (s = _WebHelpWord(k, out)); k++) {
        var align = r[5], text = UTF8ToString(s);
        c2d.fillStyle = "#" + ("00000" + (r[4] >>> 0).toString(16)).slice(-6);
        c2d.textAlign = align & 1 ? "center" : align & 2 ? "right" : "left";
        c2d.textBaseline = align & 4 ? "middle" : align & 8 ? "bottom" : "top";
        var x = align & 1 ? (r[0] + r[2]) / 2 : align & 2 ? r[2] : r[0];
        var y = align & 4 ? (r[1] + r[3]) / 2 : align & 8 ? r[3] : r[1];
        c2d.fillText(text, x * zoom, y * zoom);
      }
      _free(out);
      c.style.cssText = "display:block; margin:4px 0";
      box.appendChild(c);
    }
    _free(size);
    if (b[2]) box.appendChild(el("div", { textContent: b[2] }));
    return box;
  }
  // Closes the dialog on top with its default result (the game-over banner's end).
  function finishTop() {
    var d = Module.quarrionOpenDialog;
    if (d && d.isConnected && modalKeys.length) modalKeys[modalKeys.length - 1](new KeyboardEvent("keydown", { key: "Close" }));
  }
  // The game-over screen: its picture alone for a second, then the row of
  // tiles tumbling down over it every 30 ms until it has passed; no key ends it.
  function gameOver() {
    var pic = pictureCanvas(440, 152), out = _malloc(8), timer = 0;
    drawBitmap(pic.c2d, "GAMEOVER", 40, 46);
    var p = modal(null, pic.canvas, { list: [] }, function (e, done) {
      if (e.key === "Close") done(1);
      return true;
    });
    function step(first) {
      var bDone = _WebGameOverRow(first ? 1 : 0, out), y = HEAP32[out >> 2], frame = HEAP32[(out >> 2) + 1];
      for (var i = 0; i < 11; i++) drawBitmap(pic.c2d, COLOR_WORDS[i % 8] + "TILE" + frame, 40 * i, y);
      if (bDone) { clearInterval(timer); finishTop(); }
    }
    setTimeout(function () { step(true); timer = setInterval(function () { step(false); }, 30); }, 1000);
    return p.then(function (r) { _free(out); return r; });
  }
  Module.quarrionBlock = function (ms) {
    busy += 1;
    return new Promise(function (resolve) { setTimeout(function () { busy -= 1; resolve(); }, ms); });
  };
  Module.quarrionDialogs = [];
  Module.quarrionDialog = function (kind, show, n) {
    Module.quarrionDialogs.push(kind);
    if (kind === "gameover") return gameOver();
    var f = dialogs[kind] || dialogs.warning;
    return f(show, n);
  };

  // --- Tooltips of the six buttons ---------------------------------------------------
  var tip = $("tip"), tipTimer = 0, tipFor = -1;
  function buttonAt(x, y) {
    if (x < 511 || x >= 594) return -1;
    var i = Math.floor((y - 40) / 70);
    return i >= 0 && i < 6 && y - 40 - 70 * i < 55 ? i : -1;
  }
  function designPoint(e) {
    var r = picture.getBoundingClientRect();
    return { x: Math.floor((e.clientX - r.left) / zoom), y: Math.floor((e.clientY - r.top) / zoom) };
  }
  function showTip(text, x, y) { tip.textContent = text; tip.style.left = x + 12 + "px"; tip.style.top = y + 18 + "px"; tip.style.display = "block"; }
  function hideTip() { clearTimeout(tipTimer); tip.style.display = "none"; tipFor = -1; }
  document.addEventListener("mousemove", function (e) {
    // A control with a tip, or the label around one.
    var t = e.target.closest && e.target.closest("[data-tip]");
    if (!t && e.target.tagName === "LABEL") t = e.target.querySelector("[data-tip]");
    if (t && t.dataset.tip) { clearTimeout(tipTimer); var s = t.dataset.tip; tipTimer = setTimeout(function () { showTip(s, e.clientX, e.clientY); }, 500); return; }
    if (e.target !== picture) { hideTip(); return; }
    var p = designPoint(e), b = buttonAt(p.x, p.y);
    picture.style.cursor = b >= 0 ? "url(" + assetUrl("Finger.cur") + "), pointer" : "default";
    if (b === tipFor) return;
    hideTip();
    tipFor = b;
    if (b >= 0) tipTimer = setTimeout(function () { showTip(TIPS[b], e.clientX, e.clientY); }, 500);
  });

  // --- Input --------------------------------------------------------------------------
  function command(id) { if (started && !busy) _WebCommand(id); }
  // The picture takes pointer events, whatever the pointer: the mouse, a
  // finger or a pen. Each press is cancelled, so the browser sends no mouse
  // events after a touch as well: every press acts once. A press on a button
  // is the button's; anywhere else it goes to the game's pointer, which
  // decides in design pixels what it means on the playfield.
  var POINTER = { DOWN: 0, MOVE: 1, UP: 2, WHEEL: 3, CANCEL: 4 };
  var pressed = -1, pressId = -1;
  function pointerTo(kind, e, wheel) {
    var p = designPoint(e);
    return _WebPointer(kind, p.x, p.y, wheel || 0);
  }
  function buttonRelease(b, over) {
    pressed = -1;
    _WebButton(b, over ? 0 : 2);
  }
  picture.addEventListener("pointerdown", function (e) {
    e.preventDefault();
    audioUnlock();
    if (document.querySelector(".menu")) { closeMenus(); return; }
    if (hidden) { unhide(); return; }
    if (!started || busy || !e.isPrimary || e.button !== 0) return;
    hideTip();
    pressId = e.pointerId;
    if (picture.setPointerCapture) picture.setPointerCapture(e.pointerId);
    var p = designPoint(e), b = buttonAt(p.x, p.y);
    if (b >= 0) { pressed = b; _WebButton(b, 1); }
    else pointerTo(POINTER.DOWN, e);
  });
  picture.addEventListener("pointerup", function (e) {
    audioWake();
    if (e.pointerId !== pressId) return;
    pressId = -1;
    var p = designPoint(e);
    if (pressed >= 0) buttonRelease(pressed, buttonAt(p.x, p.y) === pressed);
    else if (started && !busy) pointerTo(POINTER.UP, e);
  });
  picture.addEventListener("pointercancel", function (e) {
    if (e.pointerId !== pressId) return;
    pressId = -1;
    if (pressed >= 0) buttonRelease(pressed, false);
    else if (started) _WebPointer(POINTER.CANCEL, 0, 0, 0);
  });
  // The phone's buttons: pressed, drawn down with the click, and their command
  // when let go over the same button, as the picture's buttons.
  var barPress = -1;
  bar.addEventListener("pointerdown", function (e) {
    e.preventDefault();
    audioUnlock();
    var t = e.target.closest(".tb");
    if (document.querySelector(".menu")) { closeMenus(); return; }
    if (hidden) { unhide(); return; }
    if (!t || !started || busy || !e.isPrimary || e.button !== 0 || pressed >= 0) return;
    if (bar.setPointerCapture) bar.setPointerCapture(e.pointerId);
    barPress = e.pointerId;
    pressed = +t.dataset.button;
    _WebButton(pressed, 1);
  });
  bar.addEventListener("pointerup", function (e) {
    audioWake();
    if (e.pointerId !== barPress) return;
    barPress = -1;
    var over = document.elementFromPoint(e.clientX, e.clientY);
    over = over && over.closest(".tb");
    if (pressed >= 0) buttonRelease(pressed, !!over && +over.dataset.button === pressed);
  });
  bar.addEventListener("pointercancel", function (e) {
    if (e.pointerId !== barPress) return;
    barPress = -1;
    if (pressed >= 0) buttonRelease(pressed, false);
  });
  bar.addEventListener("contextmenu", function (e) { e.preventDefault(); });

  // The wheel over the picture: a notch is 120, as the system's wheel.
  picture.addEventListener("wheel", function (e) {
    e.preventDefault();
    if (!started || busy || hidden) return;
    var notch = e.deltaMode === 1 ? 40 : e.deltaMode === 2 ? 120 : 1.2;
    pointerTo(POINTER.WHEEL, e, Math.round(-e.deltaY * notch));
  }, { passive: false });
  stage.addEventListener("contextmenu", function (e) {
    e.preventDefault();
    if (started) _WebPointer(POINTER.CANCEL, 0, 0, 0);
    if (!started || busy || hidden) return;
    _WebMenuOpening();
    closeMenus();
    showMenu(menuItems("context"), e.clientX, e.clientY);
  });
  document.addEventListener("mousedown", function () { audioUnlock(); if (hidden && !busy) unhide(); }, true);

  var VK = { ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, " ": 0x20, Enter: 0x0D,
    Escape: 0x1B, Tab: 0x09, Control: 0x11 };
  function vkOf(e) {
    if (VK[e.key] !== undefined) return VK[e.key];
    if (e.key.length === 1) { var c = e.key.toUpperCase().charCodeAt(0); if (c >= 48 && c <= 90) return c; }
    return 0;
  }
  document.addEventListener("keydown", function (e) {
    audioUnlock();
    if (!started) return;
    if (hidden) { e.preventDefault(); unhide(); return; }
    if (busy) return;
    if (e.key === "F11" || (e.altKey && e.key === "Enter")) { e.preventDefault(); fullScreen(); return; }
    if (e.ctrlKey && (e.key === "+" || e.key === "=" || e.key === "-")) {
      e.preventDefault();
      var z = Math.max(1, Math.min(8, zoom + (e.key === "-" ? -1 : 1)));
      _WebSetZoomPref(z, 0); params.delete("zoom"); fitZoom();
      return;
    }
    if (openMenu || document.querySelector(".menu")) { if (e.key === "Escape") closeMenus(); e.preventDefault(); return; }
    if (e.key === "ContextMenu") { e.preventDefault(); _WebMenuOpening(); showMenu(menuItems("context"), 200, 200); return; }
    var vk = vkOf(e);
    if (!vk || (e.ctrlKey && vk !== 0x11 && vk < 0x25)) return;
    if (e.ctrlKey && vk >= 0x41) return;
    if (_WebKeyDown(vk, e.ctrlKey ? 1 : 0, e.altKey ? 1 : 0)) e.preventDefault();
  });
  document.addEventListener("keyup", function (e) { if (started && e.key === "Control") _WebKeyUp(0x11); });
  // Leaving the page is closing the window: the options are written.
  addEventListener("pagehide", function () { if (started) _WebPageClosing(); });
  document.addEventListener("visibilitychange", function () { if (started && !busy) _WebSetActive(document.hidden ? 0 : 1); });

  // --- The gamepad, read as the XInput pad is ---------------------------------------------
  var PAD_BITS = [[12, 0x0001], [13, 0x0002], [14, 0x0004], [15, 0x0008], [9, 0x0010], [8, 0x0020],
    [0, 0x1000], [1, 0x2000], [2, 0x4000], [3, 0x8000]];
  var padOut = 0;
  function padReading() {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    for (var i = 0; i < pads.length; i++) {
      var g = pads[i];
      if (!g || !g.connected) continue;
      var bits = 0;
      PAD_BITS.forEach(function (m) { if (g.buttons[m[0]] && g.buttons[m[0]].pressed) bits |= m[1]; });
      return { bits: bits, lx: Math.round((g.axes[0] || 0) * 32767), ly: Math.round(-(g.axes[1] || 0) * 32767) };
    }
    return null;
  }
  // In play: the game's keys; Back opens the right-click menu at the paddle.
  function padTick() {
    var r = padReading();
    if (!r || busy || document.querySelector(".menu")) return;
    if (_WebPadTick(r.bits, r.lx, r.ly, performance.now() | 0)) {
      var b = picture.getBoundingClientRect();
      _WebMenuOpening();
      showMenu(menuItems("context"), b.left + 300 * zoom, b.top + 330 * zoom);
    }
  }
  // In a dialog or a menu: the keys the pad gives there, to the dialog on top
  // (Tab moves the focus, Space presses the focused control) or to the menu.
  var PAD_KEY_NAMES = { 13: "Enter", 27: "Escape", 32: " ", 37: "ArrowLeft", 38: "ArrowUp", 39: "ArrowRight", 40: "ArrowDown" };
  function padPoll() {
    var menu = document.querySelector(".menu");
    if (!started || (!busy && !menu)) return;
    var r = padReading();
    if (!r) return;
    if (!padOut) padOut = _malloc(80);
    var n = _WebPadKeys(r.bits, r.lx, r.ly, performance.now() | 0, menu ? 4 : 2, padOut);
    for (var i = 0; i < n; i++) {
      var vk = HEAP32[(padOut >> 2) + 2 * i], shift = HEAP32[(padOut >> 2) + 2 * i + 1];
      if (menu) { if (vk === 27) closeMenus(); else if (vk === 13) { var hot = menu.querySelector(".hot"); if (hot) hot.dispatchEvent(new MouseEvent("mouseup")); } else if (vk === 38 || vk === 40) menuStep(menu, vk === 40 ? 1 : -1); continue; }
      if (vk === 9) { focusStep(shift ? -1 : 1); continue; }
      if (vk === 32) { var f = document.activeElement; if (f && f.click) f.click(); continue; }
      if (modalKeys.length && PAD_KEY_NAMES[vk]) modalKeys[modalKeys.length - 1](new KeyboardEvent("keydown", { key: PAD_KEY_NAMES[vk] }));
    }
  }
  function focusStep(d) {
    var box = Module.quarrionOpenDialog;
    if (!box) return;
    var list = Array.from(box.querySelectorAll("button, input, li")).filter(function (e) { return !e.disabled; });
    var k = list.indexOf(document.activeElement);
    var next = list[(k + d + list.length) % list.length];
    if (next) { if (next.tabIndex < 0) next.tabIndex = -1; next.focus(); }
  }
  function menuStep(menu, d) {
    var items = Array.from(menu.querySelectorAll(".mi:not(.grey)")), k = items.indexOf(menu.querySelector(".hot"));
    var next = items[(k + d + items.length) % items.length];
    if (next) next.dispatchEvent(new MouseEvent("mouseenter"));
  }
  setInterval(padPoll, TICK_MS);

  // --- The play timer -------------------------------------------------------------------
  var tickTimes = [];
  Module.quarrionTickTimes = tickTimes;
  function tick() {
    if (!started || busy || hidden) return;
    if (document.hidden) return;
    var t0 = performance.now();
    _WebTick();
    tickTimes.push(performance.now() - t0);
    if (tickTimes.length > 2000) tickTimes.shift();
    padTick();
  }
  // The music is queued on a timer of its own, so it plays on in the dialogs.
  setInterval(musicPump, 50);

  Module.quarrionSeed = function () {
    var s = parseInt(params.get("seed") || "", 10);
    return isNaN(s) ? Math.floor(Date.now() / 1000) : s;
  };
  // The tests' steps: n play timer ticks at once, stopping at a dialog.
  Module.quarrionTick = function (n) {
    for (var i = 0; i < (n || 1) && !busy && !hidden; i++) _WebTick();
    return i;
  };
  // How many pixels of the canvas differ from the game's picture.
  Module.quarrionCanvasDiffers = function () {
    var a = ctx.getImageData(0, 0, W, H).data, p = _WebScreenPixels() >> 2, n = 0;
    for (var i = 0; i < W * H; i++) {
      var v = HEAPU32[p + i];
      if (a[4 * i] !== (v >> 16 & 255) || a[4 * i + 1] !== (v >> 8 & 255) || a[4 * i + 2] !== (v & 255)) n++;
    }
    return n;
  };
  Module.quarrionSetScore = function (n) { _WebTestSetScore(n); };
  Module.quarrionLevelOver = function (n) { _WebTestLevelOver(n); };
  Module.quarrionKey = function (vk, ctrl, alt) { return _WebKeyDown(vk, ctrl ? 1 : 0, alt ? 1 : 0); };
  Module.quarrionCommand = function (id) { _WebCommand(id); };
  Module.quarrionZoom = function () { return zoom; };
  Module.quarrionMenuState = function () { return _WebMenuState(); };
  Module.quarrionAudioUnlock = audioUnlock;
  Module.quarrionAudioContext = function () { return audio.ctx; };

  Module.onRuntimeInitialized = function () {
    if (params.get("noaudio") !== null) { Module.quarrionNoAudio = 1; AC = null; }
    var favicon = document.querySelector("link[rel=icon]");
    if (favicon && assetUrl("MAINICON.ico")) favicon.href = assetUrl("MAINICON.ico");
    buildMenuBar();
    fitZoom();
    _WebStart();
    started = 1;
    Module.quarrionMenuChanged();
    fitZoom();
    if (AC) {
      $("notice").textContent = "Click or press a key to start the sound";
      document.title = "Quarrion v1.52 \u2014 click or press a key for sound";
    }
    Module.quarrionReady = performance.now();
    if (params.get("notimer") === null) setInterval(tick, TICK_MS);
  };
})();
