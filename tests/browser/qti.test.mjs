import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { after, before, test } from "node:test";
import { closeBrowser, example, launch, velmHost } from "./live.mjs";

// An open QTI player from npm, used only here: it scores our exported 3.0 items in the browser.
const player = resolve(dirname(fileURLToPath(import.meta.url)), "node_modules/@citolab/qti-components/cdn/index.global.js");

// Weighted keys become a chain of conditions; the examples hold only exact keys.
const weightedItem = `<MultipleChoiceItem Language="ENU"><ItemStem><Text><![CDATA[<html><body><p>Pick</p>]]></Text></ItemStem>
<Choices Max="5" Min="0" RandomOrder="false"><Choice AnswerID="A">a</Choice><Choice AnswerID="B">b</Choice>
<Choice AnswerID="C">c</Choice><Choice AnswerID="D">d</Choice><Choice AnswerID="E">e</Choice></Choices>
<Answers><Answer Weight="2">A AND C AND ONLY</Answer><Answer Weight="1">(A OR C) AND NOT B</Answer>
<Answer Weight="0.5">NOT D AND ONLY</Answer><Answer Weight="-1">B AND E</Answer></Answers></MultipleChoiceItem>`;

let work;
let page;

before(async () => {
  work = mkdtempSync(join(tmpdir(), "velm-qti-player-"));
  writeFileSync(join(work, "weighted-item.xml"), weightedItem);
  const items = ["basic-item.xml", "single-answer-item.xml", "random-order-item.xml"].map(example);
  const exported = spawnSync(velmHost, ["qti", "export", ...items, join(work, "weighted-item.xml"), "--out", join(work, "qti")]);
  assert.equal(exported.status, 0, String(exported.stdout) + exported.stderr);
  page = await (await launch()).newPage();
  await page.setContent("<!doctype html><html><body><div id=host></div></body></html>");
  await page.addScriptTag({ path: player });
});

after(async () => {
  await closeBrowser();
  rmSync(work, { recursive: true, force: true });
});

// A small deterministic generator, so a failure can be replayed.
function random(seed) {
  return () => {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return seed / 2147483648;
  };
}

// What the player's response processing gives the response (an identifier, or a list of them).
async function playerScore(xml, response) {
  return page.evaluate(async ({ xml, response }) => {
    const host = document.getElementById("host");
    host.innerHTML = window.QtiComponents.qtiTransformItem().parse(xml).html();
    const item = host.querySelector("qti-assessment-item");
    await item.updateComplete;
    item.updateResponseVariable("RESPONSE", response);
    item.processResponse();
    return Number(item.getOutcome("SCORE").value);
  }, { xml, response });
}

function ourScore(item, choices) {
  const scored = spawnSync(velmHost, ["score", item, "--response", choices.join(", ")]);
  assert.equal(scored.status, 0, String(scored.stderr));
  return JSON.parse(scored.stdout).raw;
}

test("the player scores random responses to the exported items as velm-host score does", async () => {
  const next = random(20261207);
  for (const file of readdirSync(join(work, "qti")).filter((name) => name.endsWith(".xml"))) {
    const xml = readFileSync(join(work, "qti", file), "utf8");
    const choices = [...xml.matchAll(/<qti-simple-choice identifier="([^"]+)"/g)].map((match) => match[1]);
    const max = Number(/max-choices="(\d+)"/.exec(xml)[1]);
    const single = xml.includes('cardinality="single" base-type="identifier"');
    const original = file === "weighted-item.xml" ? join(work, file) : example(file);
    for (let round = 0; round < 5; round++) {
      const chosen = choices.filter(() => next() < 0.5).slice(0, max);
      if (chosen.length === 0) chosen.push(choices[Math.floor(next() * choices.length)]);
      const expected = ourScore(original, chosen);
      const scored = await playerScore(xml, single ? chosen[0] : chosen);
      assert.equal(scored, expected, `${file} with ${chosen.join(", ")}`);
    }
  }
});
