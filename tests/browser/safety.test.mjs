import assert from "node:assert/strict";
import { mkdtemp, readFile, rm, writeFile } from "node:fs/promises";
import { request } from "node:http";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, describe, test } from "node:test";
import { checked, closeBrowser, example, frameOf, launch, open, serve, stopServers, viewWhere } from "./live.mjs";

after(stopServers);

// Status code of a GET, or of a WebSocket handshake when upgrade is set; the headers as given.
function status(url, headers = {}, upgrade = false) {
  return new Promise((resolve, reject) => {
    const extra = upgrade ? { Connection: "Upgrade", Upgrade: "websocket", "Sec-WebSocket-Version": "13",
                              "Sec-WebSocket-Key": "dGhlIHNhbXBsZSBub25jZQ==" } : {};
    const call = request(url, { headers: { ...extra, ...headers } });
    call.on("response", (response) => { response.resume(); resolve(response.statusCode); });
    call.on("upgrade", (response, socket) => { socket.destroy(); resolve(response.statusCode); });
    call.on("error", reject);
    call.end();
  });
}

describe("what the server refuses", () => {
  let server;
  before(async () => { server = await serve(example("basic-item.xml")); });
  after(async () => { await server.stop(); });

  const cases = [
    ["the page without the token", (s) => [`${s.origin}/`], 403],
    ["the page with a wrong token", (s) => [`${s.origin}/?token=${"0".repeat(s.token.length)}`], 403],
    ["a file outside the served folders", (s) => [`${s.origin}/etc/passwd?token=${s.token}`], 404],
    ["a climb out of the support folder", (s) => [`${s.origin}/tmp/../etc/passwd?token=${s.token}`], 404],
    ["an escaped climb", (s) => [`${s.origin}/%2e%2e/%2e%2e/etc/passwd?token=${s.token}`], 404],
    ["another host name", (s) => [`${s.origin}/?token=${s.token}`, { Host: "evil.example:80" }], 403],
    ["the WebSocket from another origin", (s) => [`${s.origin}/ws?token=${s.token}`, { Origin: "http://evil.example" }, true], 403],
    ["the WebSocket without the token", (s) => [`${s.origin}/ws`, { Origin: s.origin }, true], 403],
    ["the page with the token", (s) => [`${s.origin}/?token=${s.token}`], 200],
    ["the WebSocket from the page's origin", (s) => [`${s.origin}/ws?token=${s.token}`, { Origin: s.origin }, true], 101],
  ];
  for (const [name, call, expected] of cases) {
    test(name, async () => assert.equal(await status(...call(server)), expected));
  }

  test("it listens on the loopback address only", () => {
    assert.equal(new URL(server.url).hostname, "127.0.0.1");
  });
});

describe("a malformed message", () => {
  before(launch);
  after(closeBrowser);

  test("is answered with an error, and the visit goes on", async () => {
    const server = await serve(example("basic-item.xml"));
    const page = await open(server);
    const answer = await page.evaluate((token) => new Promise((resolve) => {
      const socket = new WebSocket(`ws://${location.host}/ws?token=${token}`);
      socket.onopen = () => { socket.send("{not json"); socket.send(JSON.stringify({ type: "teleport" })); };
      const errors = [];
      socket.onmessage = (event) => {
        const message = JSON.parse(event.data);
        if (message.type === "error") errors.push(message.message);
        if (errors.length === 2) { socket.close(); resolve(errors); }
      };
    }), server.token);
    assert.match(answer[0], /not a JSON object/);
    assert.match(answer[1], /unknown message type "teleport"/);
    await page.click('[data-name="chkBox"][data-index="3"] input');
    await viewWhere(page, (v) => v.choices[3].value === 1);
    await page.close();
    assert.equal(await server.stop(), 0);
  });
});

// Script in every form an item's texts could carry it; each would mark the page if it ran.
const MARK = "top.velmRan='NAME';top.document.title=sessionStorage.getItem('velm-token')";
const mark = (name) => MARK.replace("NAME", name);
const HOSTILE = {
  stem: `<base href="http://evil.example/"><meta http-equiv="refresh" content="0;url=/?hijacked">
    <p>Which two of these are prime numbers?<img src="missing.png" onerror="${mark("onerror")}" alt=""></p>
    <script>${mark("script")}</script><svg width="8" height="8" onload="${mark("svg onload")}"><script>${mark("svg script")}</script></svg>
    <iframe width="20" height="20" srcdoc="<script>${mark("nested")}</script>"></iframe>
    ${"<p>Read to the end before you answer.</p>".repeat(12)}<p>Choose two answers.</p>`,
  choice: `<a id="jslink" href="javascript:${mark("link")}">2</a><script>${mark("choice script")}</script>`,
};

// The same texts with every script made inert in a way that lays out the same.
function tamed(text) {
  return [["onerror=", "data-a="], ["onload=", "data-b="], ["<script>", "<template>"], ["</script>", "</template>"],
    ["javascript:", "about:blank#"], ['http-equiv="refresh"', 'name="refresh"'], ["<base href", "<base data-href"]]
    .reduce((result, [from, to]) => result.replaceAll(from, to), text);
}

const itemWith = ({ stem, choice }) => `<?xml version="1.0" encoding="utf-8"?>
<MultipleChoiceItem Language="ENU" ResponseType="X" CaseCode="NONE">
  <ItemStem><Heading>Question 1</Heading><Text><![CDATA[<html><body>${stem}</body></html>]]></Text></ItemStem>
  <Choices Max="2" Min="2" RandomOrder="false">
    <Choice AnswerID="A"><![CDATA[<html><body>${choice}</body></html>]]></Choice>
    <Choice AnswerID="B"><![CDATA[<html><body>4</body></html>]]></Choice>
    <Choice AnswerID="C"><![CDATA[<html><body>7</body></html>]]></Choice>
    <Choice AnswerID="D"><![CDATA[<html><body>9</body></html>]]></Choice>
  </Choices>
  <Answers><Answer Weight="1">A AND C AND ONLY</Answer></Answers>
</MultipleChoiceItem>`;

// One visit: the candidate reads to the end, clicks a link in a choice, types a letter and asks
// for the status; what the driver and the page saw.
async function visitOf(item) {
  const server = await serve(item);
  const page = await open(server);
  await page.evaluate(() => {
    const bar = document.querySelector('[data-scrollbar="scrItemStem"]');
    bar.scrollTop = bar.scrollHeight;
  });
  await viewWhere(page, (v) => v.controls.scrItemStem.verticalPosition > 0);
  await frameOf(page, "txtChoice:0").locator("#jslink").click();
  await viewWhere(page, (v) => v.choices[0].value === 1);
  await page.focus('[data-name="pcChoicesContainer"]');
  await page.keyboard.type("c");
  await viewWhere(page, (v) => v.choices[2].value === 1);
  await page.click("#driver-status");
  const shown = await viewWhere(page, (v) => v.viewedAll === true);
  const seen = await page.evaluate(() => ({
    ran: window.velmRan || null,
    title: document.title,
    address: location.href,
    documents: [...document.querySelectorAll("iframe[data-frame]")].map((frame) => [frame.contentDocument.URL,
      frame.contentDocument.baseURI.includes("evil"), frame.getBoundingClientRect().height]),
  }));
  await page.close();
  assert.equal(await server.stop(), 0);
  return { seen: { ...seen, address: seen.address.replace(server.origin, "") }, checked: checked(shown),
    heights: shown.choices.map((c) => c.text.contentHeight).concat(shown.controls.txtItemStem.contentHeight) };
}

describe("an item that carries script in every form", () => {
  before(launch);
  after(closeBrowser);

  test("runs none of it, cannot read the token, and the visit goes as without it", async () => {
    const folder = await mkdtemp(join(tmpdir(), "velm-hostile-"));
    await writeFile(join(folder, "hostile.xml"), itemWith(HOSTILE));
    await writeFile(join(folder, "tame.xml"), itemWith({ stem: tamed(HOSTILE.stem), choice: tamed(HOSTILE.choice) }));
    const tame = await visitOf(join(folder, "tame.xml"));
    const hostile = await visitOf(join(folder, "hostile.xml"));
    await rm(folder, { recursive: true });
    assert.equal(hostile.seen.ran, null);
    assert.equal(hostile.seen.title, "velm-host serve");
    assert.equal(hostile.seen.address, "/");
    assert.ok(hostile.seen.documents.every(([url, based]) => url === "about:srcdoc" && !based), JSON.stringify(hostile.seen));
    assert.deepEqual(hostile.checked, ["A.", "C."]);
    assert.deepEqual(hostile, tame);
  });
});

describe("--open", () => {
  test("hands Chromium a private page instead of the token, and waits for it to end", async () => {
    const folder = await mkdtemp(join(tmpdir(), "velm-open-"));
    await writeFile(join(folder, "chromium"),
      `#!/bin/sh\nprintf '%s\\n' "$@" > "${folder}/argv"\nstat -c %a "\${1#file://}" > "${folder}/mode"\ncat "\${1#file://}" > "${folder}/page"\n`,
      { mode: 0o755 });
    const server = await serve(example("basic-item.xml"), ["--open"], { PATH: `${folder}:${process.env.PATH}` });
    const children = () => readFile(`/proc/${server.pid}/task/${server.pid}/children`, "utf8").then((text) => text.trim());
    let argv = "";
    for (let tries = 0; tries < 200 && (argv === "" || (await children()) !== ""); ++tries) {
      await new Promise((resolve) => setTimeout(resolve, 50));
      argv = await readFile(join(folder, "argv"), "utf8").catch(() => "");
    }
    assert.equal(await children(), "", "the ended browser is waited for");
    assert.match(argv, /^file:\/\//);
    assert.ok(!argv.includes(server.token));
    assert.equal((await readFile(join(folder, "mode"), "utf8")).trim(), "600");
    assert.ok((await readFile(join(folder, "page"), "utf8")).includes(server.url));
    assert.equal(await server.stop(), 0);
    await rm(folder, { recursive: true });
  });
});
