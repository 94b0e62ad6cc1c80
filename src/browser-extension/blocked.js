// SPDX-License-Identifier: MIT
// The page shown in a tab whose website is not allowed: the focus screen's
// name, the time left and the blocked host. Which page it stands for comes
// from the extension's own state for this tab (never from this page's
// address, which anything can write); when the session ends the tab goes
// back to that page.
"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const TAB_KEY = "tab:";
let original = "";
let session = null;
let ticker = null;

function text(id, value) {
  document.getElementById(id).textContent = value;
}

function countdown(end) {
  const seconds = Math.max(0, Math.floor((end - Date.now()) / 1000));
  const h = Math.floor(seconds / 3600);
  const m = Math.floor((seconds % 3600) / 60);
  const s = seconds % 60;
  const two = (n) => String(n).padStart(2, "0");
  return h > 0 ? `${h}:${two(m)}:${two(s)}` : `${two(m)}:${two(s)}`;
}

function goBack() {
  if (/^https?:\/\//i.test(original)) location.replace(original);
}

function show(next) {
  session = next;
  if (!session) {
    document.title = api.i18n.getMessage("noSessionTitle");
    text("screen", document.title);
    text("countdown", "");
    text("host", "");
    text("back", "");
    goBack();
    return;
  }
  let host = "";
  try {
    host = new URL(original).host;
  } catch {}
  text("screen", session.screen);
  text("host", host ? api.i18n.getMessage("notAllowed", [host]) : "");
  text("back", host ? api.i18n.getMessage("backAfter") : "");
  // The tab's title counts down too.
  const tick = () => {
    const left = countdown(session.end);
    text("countdown", api.i18n.getMessage("timeLeft", [left]));
    document.title = api.i18n.getMessage("pageTitle", [session.screen, left]);
  };
  tick();
  if (ticker === null) ticker = setInterval(() => session && tick(), 1000);
}

async function load() {
  const tab = await api.tabs.getCurrent();
  const key = tab ? TAB_KEY + tab.id : null;
  const stored = await api.storage.session.get(key ? ["session", key] : ["session"]);
  original = (key && stored[key]) || "";
  show(stored.session ?? null);
}

load();
// Shown again from the back-forward cache: the session may have ended (or
// another page been refused in this tab) meanwhile.
addEventListener("pageshow", (event) => {
  if (event.persisted) load();
});
api.storage.onChanged.addListener((changes, area) => {
  if (area === "session" && "session" in changes) show(changes.session.newValue ?? null);
});
