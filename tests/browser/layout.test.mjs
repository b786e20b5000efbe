import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { readFile, mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, describe, test } from "node:test";
import { promisify } from "node:util";
import { closeBrowser, example, launch, open, serve, stopServers, velmHost, view } from "./live.mjs";

after(stopServers);

const run = promisify(execFile);
const item = new URL("./fixed-heights-item.xml", import.meta.url).pathname;
const resources = ["--resources", example(".")];
const env = { ...process.env, VELM_REGISTRY: process.env.VELM_REGISTRY || example("../build/default/velm-registry") };

// The last object a `velm-host run --json` prints.
async function runJson(args) {
  const { stdout } = await run(velmHost, ["run", ...args, "--json"], { env });
  return JSON.parse(stdout.trim().split("\n").pop());
}

// What the layout made of the heights: every figure that follows from them.
const layout = (shown) => ({
  stem: [shown.controls.txtItemStem.contentHeight, shown.controls.txtItemStem.height],
  container: [shown.controls.pcChoicesContainer.top, shown.controls.pcChoicesContainer.height],
  scrolling: shown.controls.scrItemStem.scrollingHeight,
  choices: shown.choices.map((c) => [c.top, c.height, c.text.top, c.text.height, c.text.contentHeight]),
});

describe("heights fixed by the documents themselves", () => {
  before(launch);
  after(closeBrowser);

  test("lay out the same on the headless engine and in the browser", async () => {
    const headless = await runJson([item, ...resources]);
    const server = await serve(item, resources);
    const page = await open(server);
    const live = await view(page);
    await page.close();
    await server.stop();
    assert.deepEqual(layout(live), layout(headless));
    assert.deepEqual(live.choices.map((c) => c.text.contentHeight), [36, 51, 406]);
  });
});

describe("a picture of the screen", () => {
  test("is the stage of the page at the end of the script, as a PNG", async () => {
    const folder = await mkdtemp(join(tmpdir(), "velm-png-"));
    try {
      const png = join(folder, "basic.png");
      const shown = await runJson([example("basic-item.xml"), "--script", example("basic-visit.script"), "--png", png]);
      assert.equal(shown.png, png);
      const bytes = await readFile(png);
      assert.deepEqual([...bytes.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
      assert.deepEqual([bytes.readUInt32BE(16), bytes.readUInt32BE(20)], [shown.window.width / 15, shown.window.height / 15]);
      assert.ok(shown.controls.txtItemStem.contentHeight > 60, "the stem was measured in the browser");
    } finally {
      await rm(folder, { recursive: true, force: true });
    }
  });
});
