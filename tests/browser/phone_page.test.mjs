// The phone page in headless Chromium against the real server (phone_page_host,
// which puts a scripted model behind it).
// Usage: node phone_page.test.mjs PATH/TO/phone_page_host SCREENSHOT_DIR

import { chromium } from 'playwright-core';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { createInterface } from 'node:readline';

const [hostPath, screenshotDir] = process.argv.slice(2);
mkdirSync(screenshotDir, { recursive: true });

// The same text as the host's long reply (both count UTF-16 units).
function longReply() {
  let text = '';
  while (text.length < 300000) text += `ab€😀 line ${text.length}\n`;
  return text;
}

// A line on the host's stdin resumes its paused "slow" reply.
const host = spawn(hostPath, [], { stdio: ['pipe', 'pipe', 'inherit'] });
// The host prints its address, and answers a switch of the page's formatting;
// what the server signals is tst_local_server's to check.
let formatAnswered = null;
const urlPromise = new Promise((resolve, reject) => {
  host.once('exit', (code) => reject(new Error(`phone_page_host exited with ${code}`)));
  createInterface({ input: host.stdout }).on('line', (line) => {
    if (line.startsWith('URL ')) resolve(line.slice(4));
    if (line.startsWith('FORMAT ') && formatAnswered) formatAnswered(line.slice(7));
  });
});

// The desktop's "Show replies formatted", as the server reads it for the next page.
async function setFormat(on) {
  const answered = new Promise((resolve) => { formatAnswered = resolve; });
  host.stdin.write(on ? 'format on\n' : 'format off\n');
  assert.equal(await answered, on ? 'on' : 'off');
}

const userDataDir = mkdtempSync(path.join(tmpdir(), 'emberglass-chromium-'));
let context;
let url;
const failures = [];

// Each scenario on a fresh page opened at the address.
async function scenario(name, body) {
  const page = await context.newPage();
  try {
    await page.goto(url);
    await body(page);
    console.log(`PASS ${name}`);
  } catch (error) {
    failures.push(name);
    console.log(`FAIL ${name}\n${error.stack}`);
  } finally {
    await page.close();
  }
}

const bubbles = (page, role) =>
  page.locator(`#messages .row.${role}:not(#typ) .bubble`).allTextContents();

async function send(page, text) {
  await page.locator('#inp').fill(text);
  await page.locator('#inp').press('Enter');
}

// Waits until the reply in progress has ended (the page re-enables sending).
async function waitReplyEnded(page) {
  await page.locator('#inp').fill('probe');
  await page.waitForFunction(() => !document.getElementById('btn').disabled);
  await page.locator('#inp').fill('');
}

try {
  url = await urlPromise;
  context = await chromium.launchPersistentContext(userDataDir, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 390, height: 760 },
    deviceScaleFactor: 2,
    hasTouch: true,
  });
  // Every wait is for an exact end state, however long a busy machine takes to
  // reach it; ctest's timeout stops a page that never gets there.
  context.setDefaultTimeout(0);
  // Hands the page its body in reads of at most 4 KiB, whatever the network
  // coalesced (a busy machine may deliver a long reply in one piece), so long
  // lines and multi-byte characters always span reads; counts the reads.
  await context.addInitScript(() => {
    window.__chunks = 0;
    const read = ReadableStreamDefaultReader.prototype.read;
    const rests = new WeakMap();
    const piece = (reader, bytes) => {
      rests.set(reader, bytes.subarray(4096));
      window.__chunks++;
      return { done: false, value: bytes.subarray(0, 4096) };
    };
    ReadableStreamDefaultReader.prototype.read = function () {
      const rest = rests.get(this);
      if (rest && rest.length > 0) return Promise.resolve(piece(this, rest));
      return read.call(this).then((chunk) =>
        chunk.done || !(chunk.value instanceof Uint8Array) ? chunk : piece(this, chunk.value));
    };
  });

  // The refusal without the key is the server's (tst_local_server), the texts are the page's own.
  await scenario('the page is drawn in the window\'s palette', async (page) => {
    const source = new URL('../../src/ui/theme/palette.json', import.meta.url);
    const { colours } = JSON.parse(readFileSync(source, 'utf8'));
    const rgb = (hex) => `rgb(${[1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16)).join(', ')})`;
    const drawn = await page.evaluate(() => ({
      page: getComputedStyle(document.body).backgroundColor,
      text: getComputedStyle(document.body).color,
      send: getComputedStyle(document.getElementById('btn')).backgroundColor,
    }));
    assert.deepEqual(drawn, {
      page: rgb(colours.background), text: rgb(colours.textPrimary), send: rgb(colours.accent),
    });
  });

  await scenario('the empty page shows its start, sends no blank text, then sends on Enter', async (page) => {
    assert.equal(await page.locator('#messages').innerText(), '⚡\nEMBERGLASS\nSend a message to start');
    await page.locator('#inp').fill('   ');
    assert.ok(await page.locator('#btn').isDisabled(), 'blank text cannot be sent');
    await page.screenshot({ path: path.join(screenshotDir, 'phone_page_empty.png') });

    // Enter sends, then the streamed reply replaces the typing indicator.
    const posted = page.waitForRequest((request) => request.url().includes('/api/chat'));
    await send(page, '  hello there  ');
    const request = await posted;
    assert.equal(new URL(request.url()).searchParams.get('key'), new URL(url).searchParams.get('key'));
    assert.deepEqual(request.postDataJSON(), { messages: [{ role: 'user', content: 'hello there' }] });
    await page.waitForFunction(() =>
      [...document.querySelectorAll('.row.assistant .bubble')].some((b) => b.textContent === 'Hello from the fake model.'));
    assert.equal(await page.locator('#typ').count(), 0, 'the indicator is gone');
    assert.deepEqual(await bubbles(page, 'user'), ['hello there']);
    assert.equal(await page.locator('#inp').inputValue(), '');
  });

  await scenario('markup typed or received is shown literally, and an error line keeps what came', async (page) => {
    await send(page, '<i>markup</i> please');
    await waitReplyEnded(page);
    assert.deepEqual(await bubbles(page, 'assistant'), ['<b>not bold</b> & <img src=x onerror=alert(1)>']);
    assert.deepEqual(await bubbles(page, 'user'), ['<i>markup</i> please']);

    // Shift+Enter breaks the line instead of sending.
    await page.locator('#inp').fill('line one');
    await page.locator('#inp').press('Shift+Enter');
    await page.locator('#inp').pressSequentially('line two');
    assert.equal(await page.locator('#inp').inputValue(), 'line one\nline two');
    assert.equal((await bubbles(page, 'user')).length, 1, 'nothing was sent');
    await page.locator('#inp').press('Enter');
    await waitReplyEnded(page);
    assert.deepEqual(await bubbles(page, 'user'), ['<i>markup</i> please', 'line one\nline two']);
    await page.screenshot({ path: path.join(screenshotDir, 'phone_page.png') });

    // An error line leaves the text received so far.
    await send(page, 'please fail');
    await waitReplyEnded(page);
    assert.equal((await bubbles(page, 'assistant'))[2], 'Partial answer');
    assert.ok(!(await page.locator('body').innerText()).includes('Text generation failed'));
  });

  await scenario('sending is blocked while a reply streams', async (page) => {
    await send(page, 'slow please');
    // The host holds the reply after its first piece until told to go on.
    await page.waitForFunction(() => (document.querySelector('.row.assistant .bubble') || {}).textContent === 's0 ');
    await page.locator('#inp').fill('next question');
    assert.ok(await page.locator('#btn').isDisabled(), 'the button stays disabled');
    await page.locator('#inp').press('Enter');
    await page.locator('#btn').click({ force: true });
    assert.deepEqual(await bubbles(page, 'user'), ['slow please']);
    assert.equal(await page.locator('#inp').inputValue(), 'next question', 'typing is allowed');
    host.stdin.write('go on\n');
    await page.waitForFunction(() => !document.getElementById('btn').disabled);
    assert.equal((await bubbles(page, 'assistant'))[0], 's0 s1 s2 s3 s4 s5 s6 s7 s8 s9 ');
    const posted = page.waitForRequest((request) => request.url().includes('/api/chat'));
    await page.locator('#inp').press('Enter');
    assert.deepEqual((await posted).postDataJSON().messages, [
      { role: 'user', content: 'slow please' },
      { role: 'assistant', content: 's0 s1 s2 s3 s4 s5 s6 s7 s8 s9 ' },
      { role: 'user', content: 'next question' },
    ]);
  });

  await scenario('a message too long to send comes back to be shortened, and later ones go', async (page) => {
    const tooLong = 'x'.repeat(1024 * 1024);
    await send(page, tooLong);
    // Ended: an answer row, and sending possible again or nothing left to send.
    await page.waitForFunction(() => document.querySelector('.row.assistant:not(#typ)') &&
      (!document.getElementById('btn').disabled || !document.getElementById('inp').value));
    assert.deepEqual(await bubbles(page, 'assistant'), ['This message is too long to send: shorten it and send it again.']);
    assert.ok(await page.locator('#inp').inputValue() === tooLong, 'the text is back in the box');
    const posted = page.waitForRequest((request) => request.url().includes('/api/chat'));
    await send(page, 'shorter');
    const sent = (await posted).postDataJSON().messages;
    assert.ok(sent.length === 1 && sent[0].content === 'shorter', 'the refused text is not sent again');
    await waitReplyEnded(page);
    assert.equal((await bubbles(page, 'assistant'))[1], 'Hello from the fake model.');
  });

  await scenario('a conversation grown past what one request takes goes on with its latest turns', async (page) => {
    const long = (letter) => letter.repeat(700 * 1024);
    await send(page, long('a'));
    await waitReplyEnded(page);
    const posted = page.waitForRequest((request) => request.url().includes('/api/chat'));
    await send(page, long('b'));
    const sent = (await posted).postDataJSON().messages;
    assert.deepEqual(sent.map((message) => message.content[0]), ['b'], 'the oldest turns are left out');
    await waitReplyEnded(page);
    assert.deepEqual(await bubbles(page, 'assistant'), ['Hello from the fake model.', 'Hello from the fake model.']);
  });

  await scenario('a line split across chunks is reassembled', async (page) => {
    await send(page, 'long reply');
    const expected = longReply();
    await page.waitForFunction((length) => {
      const bubble = document.querySelector('.row.assistant .bubble');
      return bubble && bubble.textContent.length >= length;
    }, expected.length);
    const shown = await page.locator('.row.assistant .bubble').textContent();
    assert.ok(shown === expected, 'the long reply arrives intact'); // not the 300 000-character diff
    const chunks = await page.evaluate(() => window.__chunks);
    assert.ok(chunks > 1, `the reply came in ${chunks} chunk(s)`);
  });

  // The server's own 503 at its cap is tst_local_server's; here it stands in
  // front of the real server, for the first request or for both.
  for (const busyTimes of [1, 2]) {
    await scenario(`busy ${busyTimes === 1 ? 'once: the page says so and tries again' : 'twice: the page gives up with the reason'}`, async (page) => {
      let posts = 0;
      await page.route('**/api/chat?*', async (route) => {
        if (++posts > busyTimes) return route.continue();
        await route.fulfill({
          status: 503,
          headers: { 'Retry-After': '1', 'Connection': 'close' },
          contentType: 'application/json',
          body: JSON.stringify({ error: 'The computer is busy answering other chats: try again in a moment.' }),
        });
      });
      await send(page, 'hello');
      await page.waitForFunction(() =>
        document.querySelector('#typ .bubble')?.textContent === 'The computer is busy, trying again\u2026');
      await waitReplyEnded(page);
      assert.equal(posts, 2, 'one try and one retry');
      assert.deepEqual(await bubbles(page, 'assistant'), [busyTimes === 1
        ? 'Hello from the fake model.'
        : 'Connection error: The computer is busy answering other chats: try again in a moment.']);
    });
  }

  await setFormat(true);
  await scenario('formatted replies draw Markdown; HTML and other links stay text', async (page) => {
    await page.evaluate(() => { window.__alerted = false; window.alert = () => { window.__alerted = true; }; });
    await send(page, '**markdown** please');
    await waitReplyEnded(page);
    const reply = page.locator('.row.assistant .bubble');
    assert.equal(await reply.locator('h2').textContent(), 'Plan');
    assert.deepEqual(await reply.locator('ol > li').allTextContents(), ['Open the file', 'Read it']);
    assert.equal(await reply.locator('ol').getAttribute('start'), '3', 'numbering as written');
    assert.equal(await reply.locator('li strong').textContent(), 'the file');
    assert.equal(await reply.locator('.code pre code').textContent(), 'ls <dir> && echo "<b>"');
    assert.equal(await reply.locator('.code .lang').textContent(), 'sh');
    assert.deepEqual(await reply.locator('table tr').allTextContents(), ['AB', '1x', '34 | 5']);
    // Safari before 16.4 refuses a whole script that holds a regex look-behind.
    const pageSource = readFileSync(new URL('../../src/server/phone_page.html', import.meta.url), 'utf8');
    assert.ok(!/\(\?<[=!]/.test(pageSource), 'the page\'s script uses no look-behind');
    assert.deepEqual(await reply.locator('a').evaluateAll((links) => links.map((a) => a.href)),
      ['https://example.org/a'], 'only the web link is a link');
    const text = await reply.textContent();
    assert.ok(text.includes('keys (file:///etc/passwd)'), text);
    assert.ok(text.includes('<img src=x onerror=alert(1)> <script>window.__ran = 1</script>'), text);
    assert.equal(await page.evaluate(() => window.__ran === undefined && !window.__alerted), true);
    assert.deepEqual(await bubbles(page, 'user'), ['**markdown** please'], 'the user\'s text stays plain');
    await page.screenshot({ path: path.join(screenshotDir, 'phone_page_formatted.png') });

    // Pieces that arrive together are drawn once per frame, not once each.
    const items = 500;
    const line = `${JSON.stringify({ content: '- item **bold** and `code`\n' })}\n`;
    await page.route('**/api/chat?*', (route) => route.fulfill({
      contentType: 'application/x-ndjson', body: `${line.repeat(items)}{"done":true}\n`,
    }));
    await page.evaluate(() => {
      window.__frames = 0;
      window.__redraws = 0;
      const tick = () => { window.__frames++; requestAnimationFrame(tick); };
      requestAnimationFrame(tick);
      new MutationObserver((records) => {
        window.__redraws += records.filter((r) => r.target.classList.contains('bubble') && r.removedNodes.length).length;
      }).observe(document.getElementById('messages'), { childList: true, subtree: true });
    });
    await send(page, 'many pieces');
    await waitReplyEnded(page);
    assert.equal(await reply.nth(1).locator('li strong').count(), items);
    const { frames, redraws } = await page.evaluate(() => ({ frames: window.__frames, redraws: window.__redraws }));
    assert.ok(redraws <= frames, `${redraws} redraws in ${frames} frames`);
  });
  await setFormat(false);
  await scenario('without the preference a Markdown reply shows as written', async (page) => {
    await send(page, 'markdown again');
    await waitReplyEnded(page);
    assert.ok((await bubbles(page, 'assistant'))[0].startsWith('## Plan\n\n3. Open **the file**'));
    assert.equal(await page.locator('.row.assistant .bubble h2, .row.assistant .bubble table').count(), 0);
  });

  await scenario('a reply cut off by the computer\'s end, then a network failure, show a connection error', async (page) => {
    await send(page, 'slow please');
    await page.waitForFunction(() => (document.querySelector('.row.assistant .bubble') || {}).textContent === 's0 ');
    host.kill('SIGTERM');
    await new Promise((resolve) => host.once('exit', resolve));
    await waitReplyEnded(page);
    assert.deepEqual(await bubbles(page, 'assistant'),
      ['s0 ', 'Connection error: the connection closed before the reply was finished.']);
    await send(page, 'anyone there?');
    await page.waitForFunction(() => document.querySelectorAll('.row.assistant:not(#typ) .bubble').length === 3);
    assert.ok((await bubbles(page, 'assistant'))[2].startsWith('Connection error: '));
    assert.equal(await page.locator('#typ').count(), 0);
    assert.deepEqual(await bubbles(page, 'user'), ['slow please', 'anyone there?']);
  });
} catch (error) {
  failures.push('setup');
  console.log(`FAIL setup\n${error.stack}`);
} finally {
  if (context) await context.close();
  if (host.exitCode === null) host.kill('SIGTERM');
  rmSync(userDataDir, { recursive: true, force: true });
}

if (failures.length) {
  console.log(`${failures.length} scenario(s) failed: ${failures.join(', ')}`);
  process.exit(1);
}
console.log('all scenarios passed');
