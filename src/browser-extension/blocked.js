// The page shown instead of a website that is not allowed: the focus
// screen's name, the time left and the blocked host. The blocked address
// follows the "#"; when the session ends the page goes back to it.
"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const original = location.hash.slice(1);
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
    goBack();
    return;
  }
  let host = original;
  try {
    host = new URL(original).host;
  } catch {}
  text("screen", session.screen);
  text("host", api.i18n.getMessage("notAllowed", [host]));
  text("back", api.i18n.getMessage("backAfter"));
  // The tab's title counts down too.
  const tick = () => {
    const left = countdown(session.end);
    text("countdown", api.i18n.getMessage("timeLeft", [left]));
    document.title = api.i18n.getMessage("pageTitle", [session.screen, left]);
  };
  tick();
  if (ticker === null) ticker = setInterval(() => session && tick(), 1000);
}

api.storage.session.get("session").then((stored) => show(stored.session ?? null));
api.storage.onChanged.addListener((changes, area) => {
  if (area === "session" && "session" in changes) show(changes.session.newValue ?? null);
});
