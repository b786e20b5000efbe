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

// Servers not yet stopped, so a test that fails halfway leaves none running (node would wait for them).
const running = new Set();

// The served visit: its address, its process, and stop() ending the server.
export async function serve(item, options = [], env = {}) {
  const child = spawn(velmHost, ["serve", item, ...options], {
    env: { ...process.env, VELM_REGISTRY: registry, ...env }, stdio: ["ignore", "pipe", "pipe"] });
  const exited = new Promise((resolve) => child.once("exit", (code) => resolve(code)));
  const stop = async () => {
    if (child.exitCode === null && child.signalCode === null) child.kill("SIGTERM");
    return exited;
  };
  running.add(stop);
  exited.then(() => running.delete(stop));
  let errors = "";
  child.stderr.on("data", (data) => { errors += data; });
  const [first] = await Promise.race([
    once(child.stdout, "data"),
    exited.then((code) => { throw new Error(`velm-host serve ended with ${code}: ${errors}`); }),
  ]);
  const url = String(first).trim().split("\n")[0];
  return {
    url,
    origin: new URL(url).origin,
    token: new URL(url).searchParams.get("token"),
    pid: child.pid,
    errors: () => errors,
    stop,
  };
}

// Stops every server still running; a file's last hook, which runs however its tests ended.
export async function stopServers() {
  await Promise.all([...running].map((stop) => stop()));
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

// The item laid out on the page's own heights: the stem area scrolls and every choice text has
// been measured. Before that the layout still moves as the frames report their heights.
export const laidOut = (view) => Boolean(view && view.controls.scrItemStem && view.controls.scrItemStem.scrollingHeight > 0
  && view.choices.length > 0 && view.choices.every((choice) => choice.text && choice.text.contentHeight > 0));

// A page showing the served item, once its layout has settled on the page's own heights.
export async function open(server) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  page.on("pageerror", (error) => { throw error; });
  await page.goto(server.url);
  await settledView(page);
  return page;
}

export const view = (page) => page.evaluate(() => window.velm.view);

// Polls the page until accept takes what it last received: {view, loading (whether a frame is loading)}.
async function pollPage(page, accept, what) {
  const deadline = Date.now() + 30000;
  for (;;) {
    const seen = await page.evaluate(() => ({
      view: window.velm.view, loading: [...window.velm.frames.values()].some((record) => record.loading) }));
    if (seen.view && accept(seen)) return seen.view;
    if (Date.now() > deadline) throw new Error(`no view satisfied ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

// Waits until the view the page last received satisfies the predicate, and returns it. The
// predicate runs here: the page's script policy lets no text become code there.
export const viewWhere = (page, predicate, argument) => pollPage(page, ({ view }) => predicate(view, argument), predicate);

// Waits, as viewWhere, for a view on a settled screen: laid out, no frame loading and the same
// on two polls in a row. A click aimed while the layout still moves lands on whatever moves there.
export async function settledView(page, predicate = () => true, argument) {
  let previous = "";
  return pollPage(page, ({ view, loading }) => {
    const text = JSON.stringify(view);
    const steady = text === previous;
    previous = text;
    return steady && !loading && laidOut(view) && predicate(view, argument);
  }, `a settled layout where ${predicate}`);
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
