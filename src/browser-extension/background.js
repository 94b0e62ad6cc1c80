// Lumora Focus: while a Lumora focus session runs, top-level pages and
// frames load only from the focus screen's allowed domains (and their
// subdomains); every other web page is replaced by blocked.html, which names
// the screen and the time left and goes back to the page when the session
// ends. The session comes from the running Lumora through its
// native-messaging host; when the host is gone (Lumora not installed, the
// browser lost contact), nothing is restricted.
"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "io.github.lumora.lumora";
const RULE_ALLOW = 1;
const RULE_BLOCK = 2;
const FRAMES = ["main_frame", "sub_frame"];
const RETRY_FIRST_MS = 1000;
const RETRY_LAST_MS = 60000;

let port = null;
let retryMs = RETRY_FIRST_MS;
let retryTimer = null;
// Rule changes run one after another, in the order the host sent them.
let applying = Promise.resolve();

function blockedPage() {
  return api.runtime.getURL("blocked.html");
}

function isAllowed(host, domains) {
  host = host.toLowerCase().replace(/\.$/, "");
  return domains.some((d) => host === d || host.endsWith("." + d));
}

// The session as the host sends it, checked: nothing unless it names at
// least one domain.
function sessionFrom(message) {
  if (!message || message.type !== "session" || !Array.isArray(message.domains)) return null;
  const domains = message.domains.filter((d) => typeof d === "string" && /^[a-z0-9.-]+$/.test(d));
  if (domains.length === 0) return null;
  return {
    screen: typeof message.screen === "string" ? message.screen : "",
    end: Number.isFinite(message.end) ? message.end : 0,
    domains,
  };
}

async function apply(session) {
  const addRules = [];
  if (session) {
    addRules.push({
      id: RULE_ALLOW,
      priority: 2,
      action: { type: "allow" },
      condition: { requestDomains: session.domains, resourceTypes: FRAMES },
    });
    // Web pages only: browser pages, extension pages and local files are
    // not web requests and stay reachable.
    addRules.push({
      id: RULE_BLOCK,
      priority: 1,
      action: { type: "redirect", redirect: { regexSubstitution: blockedPage() + "#\\0" } },
      condition: { regexFilter: "^https?://.*", resourceTypes: FRAMES },
    });
  }
  await api.declarativeNetRequest.updateSessionRules({ removeRuleIds: [RULE_ALLOW, RULE_BLOCK], addRules });
  // The blocked pages read this (and go back to their page when it is gone).
  await api.storage.session.set({ session });
  if (session) await blockOpenTabs(session);
}

// Pages already open when the session starts are blocked too.
async function blockOpenTabs(session) {
  const tabs = await api.tabs.query({ url: ["http://*/*", "https://*/*"] });
  for (const tab of tabs) {
    let host = "";
    try {
      host = new URL(tab.url).hostname;
    } catch {
      continue;
    }
    if (!isAllowed(host, session.domains)) {
      api.tabs.update(tab.id, { url: blockedPage() + "#" + tab.url }).catch(() => {});
    }
  }
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
applyInOrder(null);
connect();
