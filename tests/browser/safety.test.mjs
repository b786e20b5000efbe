import assert from "node:assert/strict";
import { request } from "node:http";
import { after, before, describe, test } from "node:test";
import { closeBrowser, example, launch, open, serve, viewWhere } from "./live.mjs";

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
