import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { answerMessage, checked, closeBrowser, example, frameOf, launch, open, serve, settledView, stopServers, TWIPS_PER_PIXEL, view, viewWhere } from "./live.mjs";

before(launch);
after(closeBrowser);
after(stopServers);

describe("the main example, answered as a candidate would", () => {
  let server;
  let page;
  before(async () => {
    server = await serve(example("basic-item.xml"));
    page = await open(server);
  });
  after(async () => { await page.close(); assert.equal(await server.stop(), 0); });

  test("a click on a box, a click on a text and a typed letter each select a choice", async () => {
    await page.click('[data-name="chkBox"][data-index="0"] input');
    await viewWhere(page, (v) => v.choices[0].value === 1);
    await frameOf(page, "txtChoice:2").locator("body").click();
    let shown = await viewWhere(page, (v) => v.choices[2].value === 1);
    assert.deepEqual(checked(shown), ["A.", "C."]);
    assert.match(shown.responses["1"], /<Answer Value="A"\/><Answer Value="C"\/>/);
    await page.click('[data-name="chkBox"][data-index="2"] input');
    await viewWhere(page, (v) => v.choices[2].value === 0);
    await page.focus('[data-name="pcChoicesContainer"]');
    await page.keyboard.type("c");
    shown = await viewWhere(page, (v) => v.choices[2].value === 1);
    assert.deepEqual(checked(shown), ["A.", "C."]);
    assert.equal(await page.locator('input:checked').count(), 2);
  });

  test("a third choice beyond the maximum asks the candidate, and stays unchosen", async () => {
    await page.click('[data-name="chkBox"][data-index="1"] input');
    const text = await answerMessage(page, "OK");
    assert.ok(text.length > 0);
    const shown = await viewWhere(page, (v) => v.messages.length === 1);
    assert.equal(shown.messages[0].answer, 1);
    assert.deepEqual(checked(shown), ["A.", "C."]);
  });

  test("Clear All answered Cancel keeps the choices, answered OK clears them", async () => {
    await frameOf(page, "brwButtons").locator("#btnReset").click();
    await answerMessage(page, "Cancel");
    let shown = await viewWhere(page, (v) => v.messages.length === 2);
    assert.deepEqual(checked(shown), ["A.", "C."]);
    await frameOf(page, "brwButtons").locator("#btnReset").click();
    await answerMessage(page, "OK");
    shown = await viewWhere(page, (v) => v.messages.length === 3 && v.choices.every((c) => c.value === 0));
    assert.equal(await page.locator("input:checked").count(), 0);
  });

  test("every control stands where the component put it", async () => {
    const shown = await view(page);
    const placed = await page.evaluate(() => {
      const stage = document.getElementById("stage").getBoundingClientRect();
      const at = (selector) => {
        const rect = document.querySelector(selector).getBoundingClientRect();
        return { left: rect.left - stage.left, top: rect.top - stage.top, width: rect.width, height: rect.height };
      };
      return {
        boxes: [...document.querySelectorAll('[data-name="chkBox"]:not(.hidden)')].map((box) => [box.dataset.index, at(`[data-name="chkBox"][data-index="${box.dataset.index}"]`)]),
        texts: [...document.querySelectorAll('iframe[data-control^="txtChoice:"]')].map((frame) => [frame.dataset.control, at(`iframe[data-control="${frame.dataset.control}"]`)]),
        stem: at('iframe[data-control="txtItemStem"]'),
        title: at('iframe[data-control="brwTitle"]'),
        buttons: at('iframe[data-control="brwButtons"]'),
      };
    });
    const px = (twips) => twips / TWIPS_PER_PIXEL;
    const close = (actual, twips, what) => assert.ok(Math.abs(actual - px(twips)) < 0.51, `${what}: ${actual} px, the component says ${px(twips)}`);
    const area = shown.controls.scrItemStem;
    const choices = shown.controls.pcChoicesContainer;
    const inChoices = (shape, what) => {
      close(placed[what].left, shown.window.left + area.left + choices.left + shape.left, what + " left");
      close(placed[what].top, shown.window.top + area.top + choices.top - area.verticalPosition + shape.top, what + " top");
      close(placed[what].width, shape.width, what + " width");
      close(placed[what].height, shape.height, what + " height");
    };
    for (const [index, rect] of placed.boxes) {
      placed[`box${index}`] = rect;
      inChoices(shown.choices[Number(index)], `box${index}`);
    }
    for (const [control, rect] of placed.texts) {
      const position = Number(control.split(":")[1]);
      placed[control] = rect;
      inChoices(shown.choices[position].text, control);
    }
    const stem = shown.controls.txtItemStem;
    close(placed.stem.left, shown.window.left + area.left + stem.left, "stem left");
    close(placed.stem.top, shown.window.top + area.top + stem.top, "stem top");
    close(placed.stem.height, stem.height, "stem height");
    for (const name of ["title", "buttons"]) {
      const control = shown.controls[name === "title" ? "brwTitle" : "brwButtons"];
      close(placed[name].left, shown.window.left + control.left, name + " left");
      close(placed[name].top, shown.window.top + control.top, name + " top");
      close(placed[name].width, control.width, name + " width");
    }
  });

  test("each frame's measured height is the height the layout used", async () => {
    const shown = await view(page);
    const measured = await page.evaluate(() => Object.fromEntries(
      [...document.querySelectorAll("iframe[data-control]")].map((frame) => [frame.dataset.control, window.velm.measured.get(frame.dataset.frame)])));
    assert.equal(measured.txtItemStem, shown.controls.txtItemStem.contentHeight);
    for (const choice of shown.choices)
      assert.equal(measured[`txtChoice:${choice.position}`], choice.text.contentHeight, `choice ${choice.caption}`);
    assert.ok(shown.choices.every((choice) => choice.text.contentHeight > 10), "the choice texts have their real heights");
  });
});

describe("leaving and coming back, and the driver's options", () => {
  test("the random order and the selection survive leave and return", async () => {
    const server = await serve(example("random-order-item.xml"));
    const page = await open(server);
    await page.click('[data-name="optnBox"][data-index="2"] input, [data-name="chkBox"][data-index="2"] input');
    const before = await viewWhere(page, (v) => v.choices[2].value === 1);
    await page.click("#driver-leave");
    await viewWhere(page, (v) => v.choices.length === 0);
    await page.click("#driver-return");
    const again = await settledView(page);
    assert.deepEqual(again.choices.map((c) => [c.caption, c.id, c.value]), before.choices.map((c) => [c.caption, c.id, c.value]));
    await page.close();
    await server.stop();
  });

  test("in show-answers mode Set Answers selects the keyed choices", async () => {
    const server = await serve(example("basic-item.xml"));
    const page = await open(server);
    await page.click("#driver-showanswers");
    // The driver starts the item again; until its layout settles the buttons move over the choices.
    await settledView(page, (v) => v.pages.brwButtons && v.pages.brwButtons.includes("btnSetAnswers"));
    await frameOf(page, "brwButtons").locator("#btnSetAnswers").click();
    const shown = await viewWhere(page, (v) => v.choices.some((c) => c.value === 1));
    assert.deepEqual(checked(shown), ["A.", "C."]);
    assert.equal(await page.getAttribute("#driver-showanswers", "aria-pressed"), "true");
    await page.close();
    await server.stop();
  });
});

describe("a passage many screens long", () => {
  test("lays out on the real heights and counts as viewed only once scrolled to its end", async () => {
    const server = await serve(example("long-stem-item.xml"));
    const page = await open(server);
    let shown = await view(page);
    const area = shown.controls.scrItemStem;
    assert.ok(area.scrollingHeight > 3 * area.height, `scrolling height ${area.scrollingHeight} for an area of ${area.height}`);
    // Asked too early, the item tells the candidate to scroll first.
    await page.click("#driver-status");
    assert.ok((await answerMessage(page, "OK")).length > 0);
    shown = await viewWhere(page, (v) => v.viewedAll !== null);
    assert.equal(shown.viewedAll, false);
    await page.evaluate(() => {
      const bar = document.querySelector('[data-scrollbar="scrItemStem"]');
      bar.scrollTop = bar.scrollHeight;
    });
    await viewWhere(page, (v) => v.controls.scrItemStem.verticalPosition > 0);
    await page.click("#driver-status");
    shown = await viewWhere(page, (v) => v.viewedAll === true);
    assert.equal(await page.locator("#panel-viewedall").textContent(), "true");
    await page.close();
    await server.stop();
  });
});
