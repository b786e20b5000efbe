// Starts `velm-host serve` on an item and opens its page in headless Chromium, as a person would.
import { spawn } from "node:child_process";
import { once } from "node:events";
import { dirname, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

const root = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
export const TWIPS_PER_PIXEL = 15;
export const velmHost = process.env.VELM_HOST || resolve(root, "build/default/bin/velm-host");
export const example = (name) => resolve(root, "examples", name);
const registry = process.env.VELM_REGISTRY || resolve(root, "build/default/velm-registry");
const chromiumProgram = process.env.VELM_CHROMIUM || "/usr/bin/chromium-headless-shell";

// The served visit: its address, its process, and stop() ending the server.
export async function serve(item, options = [], env = {}) {
  const child = spawn(velmHost, ["serve", item, ...options], {
    env: { ...process.env, VELM_REGISTRY: registry, ...env }, stdio: ["ignore", "pipe", "pipe"] });
  let errors = "";
  child.stderr.on("data", (data) => { errors += data; });
  const [first] = await Promise.race([
    once(child.stdout, "data"),
    once(child, "exit").then(([code]) => { throw new Error(`velm-host serve ended with ${code}: ${errors}`); }),
  ]);
  const url = String(first).trim().split("\n")[0];
  return {
    url,
    origin: new URL(url).origin,
    token: new URL(url).searchParams.get("token"),
    pid: child.pid,
    errors: () => errors,
    async stop() {
      if (child.exitCode !== null) return child.exitCode;
      child.kill("SIGTERM");
      const [code] = await once(child, "exit");
      return code;
    },
  };
}

let browser = null;

export async function launch() {
  const args = process.getuid && process.getuid() === 0 ? ["--no-sandbox"] : [];
  browser = await chromium.launch({ executablePath: chromiumProgram, args });
  return browser;
}

export async function closeBrowser() {
  if (browser) await browser.close();
  browser = null;
}

// A page showing the served item, once its layout has run on the page's own heights (the item
// area has a scrolling height only from then on).
export async function open(server) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  page.on("pageerror", (error) => { throw error; });
  await page.goto(server.url);
  await page.waitForFunction(() => {
    const view = window.velm.view;
    return view && view.controls.scrItemStem && view.controls.scrItemStem.scrollingHeight > 0 && view.choices.length > 0
      && view.choices.every((choice) => choice.text && choice.text.contentHeight > 0);
  });
  return page;
}

export const view = (page) => page.evaluate(() => window.velm.view);

// Waits until the view the page last received satisfies the predicate, and returns it. The
// predicate runs here: the page's script policy lets no text become code there.
export async function viewWhere(page, predicate, argument) {
  const deadline = Date.now() + 30000;
  for (;;) {
    const shown = await page.evaluate(() => window.velm.view);
    if (shown && predicate(shown, argument)) return shown;
    if (Date.now() > deadline) throw new Error(`no view satisfied ${predicate}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

export const checked = (view) => view.choices.filter((choice) => choice.value === 1).map((choice) => choice.caption);

export async function answerMessage(page, caption) {
  const box = page.locator("dialog#message-box[open]");
  await box.waitFor();
  const text = await page.locator("#message-text").textContent();
  await box.getByRole("button", { name: caption, exact: true }).click();
  await page.locator("dialog#message-box[open]").waitFor({ state: "detached" }).catch(() => {});
  return text;
}

export const frameOf = (page, control) => page.frameLocator(`iframe[data-control="${control}"]`);
