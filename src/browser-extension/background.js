// SPDX-License-Identifier: MIT
// Lumora Focus: while a Lumora focus session runs, documents (pages, frames,
// <object> and <embed>) load only from the focus screen's allowed domains
// (and their subdomains), or, for a session of blocked domains (a lock
// profile's), from every domain but those; the rest is refused by the browser, and a
// tab whose page was refused is switched to blocked.html, which names the
// screen and the time left and goes back to the page when the session ends.
// The session comes from the running Lumora through its native-messaging
// host; when the host is gone (Lumora not installed, the browser lost
// contact) or the session's end has passed, nothing is restricted. No file
// of the extension is reachable from web pages.
"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "io.github.lumora.lumora";
const RULE_ALLOW = 1;
const RULE_BLOCK = 2;
// Every request that renders a document: <object>/<embed> loads are
// "object" to the browser.
const DOCUMENTS = ["main_frame", "sub_frame", "object"];
const END_ALARM = "session-end";
// What a block page shows instead of the page: "tab:<id>" -> address.
const TAB_KEY = "tab:";
const RETRY_FIRST_MS = 1000;
const RETRY_LAST_MS = 60000;

let port = null;
let retryMs = RETRY_FIRST_MS;
let retryTimer = null;
// Rule changes run one after another, in the order the host sent them.
let applying = Promise.resolve();
// The session the rules follow now (null: none).
let current = null;
let endTimer = null;

function blockedPage() {
  return api.runtime.getURL("blocked.html");
}

function isRefused(url, session) {
  if (!session) return false;
  let parsed;
  try {
    parsed = new URL(url);
  } catch {
    return false;
  }
  if (parsed.protocol !== "http:" && parsed.protocol !== "https:") return false;
  const listed = isListed(parsed.hostname, session.domains);
  return session.blocked ? listed : !listed;
}

function isListed(host, domains) {
  host = host.toLowerCase().replace(/\.$/, "");
  return domains.some((d) => host === d || host.endsWith("." + d));
}

// The session as the host sends it, checked: nothing unless it names at
// least one domain.
function sessionFrom(message) {
  if (!message || message.type !== "session" || !Array.isArray(message.domains)) return null;
  const domains = message.domains.filter((d) => typeof d === "string" && /^[a-z0-9.-]+$/.test(d));
  if (domains.length === 0) return null;
  const end = Number.isFinite(message.end) ? message.end : 0;
  // A session whose end has passed keeps nothing, whatever Lumora says.
  if (end > 0 && end <= Date.now()) return null;
  return {
    screen: typeof message.screen === "string" ? message.screen.slice(0, 200) : "",
    end,
    domains,
    blocked: message.blocked === true,
  };
}

// The end the session was given lifts the rules even when Lumora says
// nothing more (frozen, stopped): an alarm, which wakes this script, and a
// timer for the exact moment while the script runs.
async function watchEnd(session) {
  if (endTimer !== null) clearTimeout(endTimer);
  endTimer = null;
  await api.alarms.clear(END_ALARM);
  if (!session || session.end <= 0) return;
  api.alarms.create(END_ALARM, { when: session.end });
  endTimer = setTimeout(endPassed, Math.max(0, session.end - Date.now()));
}

async function endPassed() {
  endTimer = null;
  if (current === null) {
    const stored = await api.storage.session.get("session");
    current = stored.session ?? null;
  }
  if (current && current.end > 0 && current.end <= Date.now()) applyInOrder(null);
}

async function apply(session) {
  current = session;
  const addRules = [];
  if (session && session.blocked) {
    // Only the listed domains (and their subdomains) are refused.
    addRules.push({
      id: RULE_BLOCK,
      priority: 1,
      action: { type: "block" },
      condition: { requestDomains: session.domains, resourceTypes: DOCUMENTS },
    });
  } else if (session) {
    addRules.push({
      id: RULE_ALLOW,
      priority: 2,
      action: { type: "allow" },
      condition: { requestDomains: session.domains, resourceTypes: DOCUMENTS },
    });
    // Web pages only: browser pages, extension pages and local files are
    // not web requests and stay reachable. Refused outright: a redirect to
    // an extension page needs that page open to every web page.
    addRules.push({
      id: RULE_BLOCK,
      priority: 1,
      action: { type: "block" },
      condition: { regexFilter: "^https?://", resourceTypes: DOCUMENTS },
    });
  }
  await api.declarativeNetRequest.updateSessionRules({ removeRuleIds: [RULE_ALLOW, RULE_BLOCK], addRules });
  await watchEnd(session);
  // The blocked pages read this (and go back to their page when it is gone).
  await api.storage.session.set({ session });
  if (session) await blockOpenTabs(session);
}

// Pages already open when the session starts are loaded again, which the
// rules refuse: the refused page leaves the tab's history instead of
// staying one Back away.
async function blockOpenTabs(session) {
  const tabs = await api.tabs.query({ url: ["http://*/*", "https://*/*"] });
  for (const tab of tabs) {
    if (isRefused(tab.url, session)) api.tabs.reload(tab.id).catch(() => {});
  }
}

// A tab whose page was refused shows the block page, which takes the
// address it stands for from here only.
async function showBlockPage(tabId, url) {
  await api.storage.session.set({ [TAB_KEY + tabId]: url });
  await api.tabs.update(tabId, { url: blockedPage() }).catch(() => {});
}

function onRefusedNavigation(details) {
  if (details.frameId !== 0 || !isRefused(details.url, current)) return;
  showBlockPage(details.tabId, details.url);
}

// A page taken from the back-forward cache is shown without a request the
// rules could refuse: it is loaded again, and refused then.
function onCommitted(details) {
  if (details.frameId !== 0 || !isRefused(details.url, current)) return;
  if ((details.transitionQualifiers ?? []).includes("forward_back")) api.tabs.reload(details.tabId).catch(() => {});
}

function applyInOrder(session) {
  applying = applying.then(() => apply(session)).catch((error) => console.error("Lumora Focus:", error));
  return applying;
}

async function browserName() {
  if (api.runtime.getBrowserInfo) {
    const info = await api.runtime.getBrowserInfo();
    return info.name + " " + info.version;
  }
  const brands = navigator.userAgentData?.brands ?? [];
  const brand =
    brands.find((b) => !/not.a.brand|chromium/i.test(b.brand)) ?? brands.find((b) => /chromium/i.test(b.brand));
  return brand ? brand.brand + " " + brand.version : "Chromium";
}

function connect() {
  retryTimer = null;
  try {
    port = api.runtime.connectNative(HOST);
  } catch (error) {
    console.error("Lumora Focus:", error);
    scheduleReconnect();
    return;
  }
  port.onMessage.addListener((message) => {
    retryMs = RETRY_FIRST_MS;
    applyInOrder(sessionFrom(message));
  });
  port.onDisconnect.addListener(() => {
    // Lost contact with Lumora: the browser is free again.
    port = null;
    applyInOrder(null);
    scheduleReconnect();
  });
  browserName().then((browser) => port?.postMessage({ type: "hello", browser }));
}

function scheduleReconnect() {
  if (retryTimer !== null) return;
  retryTimer = setTimeout(connect, retryMs);
  retryMs = Math.min(retryMs * 2, RETRY_LAST_MS);
}

// Listening for the browser's start makes it run this script (and so
// connect) as soon as the browser starts. Session rules go with the
// browser; a new run begins free until the host says otherwise.
api.runtime.onStartup.addListener(() => {});
api.webNavigation.onErrorOccurred.addListener(onRefusedNavigation);
api.webNavigation.onCommitted.addListener(onCommitted);
api.alarms.onAlarm.addListener((alarm) => {
  if (alarm.name === END_ALARM) endPassed();
});
api.tabs.onRemoved.addListener((tabId) => api.storage.session.remove(TAB_KEY + tabId));
applyInOrder(null);
connect();
