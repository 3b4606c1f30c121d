// The page only reads: it fetches the layers' state whenever the change feed
// says the device changed, and reloads the images of the layers that did.
"use strict";

const cards = new Map();
let shownVersion = -1;

function rgb(colour) {
  return `(${colour.R}, ${colour.G}, ${colour.B})`;
}

function describe(layer) {
  const cutout = layer.settings.cutout;
  const rows = [["cutout", cutout.enable ? "on" : "off"]];
  if (cutout.type === 0) {
    const key = cutout.brightness;
    rows.push(["type", "0, brightness"], ["threshold, gain", `${key.threshold}, ${key.gain}`],
              ["foreground", key.foregroundColor.enable ? rgb(key.foregroundColor) : "off"]);
  } else {
    const key = cutout.hue;
    rows.push(["type", cutout.type === 1 ? "1, hue" : String(cutout.type)], ["colour", rgb(key.color)],
              ["hue clip, ramp", `${key.hueClip}, ${key.hueRamp}`],
              ["saturation clip, gain", `${key.saturationClip}, ${key.saturationGain}`],
              ["spill, shadow, highlight", `${key.spill}, ${key.shadow}, ${key.highLigh}`],
              ["edge smooth", String(key.edgeSmooth)]);
  }
  const cursor = layer.cursor;
  rows.push(["cursor", cutout.cursor.enable
    ? `on at (${cursor.pos.x}, ${cursor.pos.y}), colour ${rgb(cursor.color)}` : "off"]);
  return rows;
}

function cardFor(layerId) {
  if (!cards.has(layerId)) {
    const card = document.createElement("section");
    card.className = "layer";
    card.dataset.layer = layerId;
    const title = document.createElement("h2");
    title.textContent = `Layer ${layerId}`;
    const image = document.createElement("img");
    image.alt = `layer ${layerId} keyed`;
    image.addEventListener("load", () => { image.dataset.shown = image.dataset.version; });
    card.append(title, image, document.createElement("dl"));
    document.getElementById("layers").append(card);
    cards.set(layerId, card);
  }
  return cards.get(layerId);
}

function show(layer) {
  const card = cardFor(layer.layerId);
  const image = card.querySelector("img");
  if (image.dataset.version === String(layer.version)) {
    return;
  }
  image.dataset.version = layer.version;
  image.src = `/view/layers/${layer.layerId}.png?v=${layer.version}`;
  const list = card.querySelector("dl");
  list.replaceChildren();
  for (const [name, value] of describe(layer)) {
    const term = document.createElement("dt");
    term.textContent = name;
    const detail = document.createElement("dd");
    detail.textContent = value;
    list.append(term, detail);
  }
}

async function refresh() {
  const reply = await fetch("/view/layers", { cache: "no-store" });
  const state = await reply.json();
  // Answers may overtake each other; an older state never replaces a newer one.
  if (state.version < shownVersion) {
    return;
  }
  shownVersion = state.version;
  state.layers.forEach(show);
}

const status = document.getElementById("status");
const changes = new EventSource("/view/changes");
changes.onopen = () => { status.textContent = "live"; };
changes.onerror = () => { status.textContent = "reconnecting…"; };
changes.onmessage = () => { refresh().catch(() => { status.textContent = "cannot read the layers"; }); };
