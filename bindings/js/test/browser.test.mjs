// The package in a real browser (Debian's headless Chromium): the checks of
// demo/test.html (text nodes gained soft hyphens and nothing else changed,
// lang honoured, what is left alone left alone, content added later
// hyphenated, copying without soft hyphens), and a screenshot of the demo.
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { existsSync, mkdirSync, readFileSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join, normalize } from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";
import { promisify } from "node:util";

const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find(existsSync);
const dist = fileURLToPath(new URL("../dist/", import.meta.url));
const shots = fileURLToPath(new URL("../../../build/js/", import.meta.url));
const types = { ".html": "text/html", ".mjs": "text/javascript", ".js": "text/javascript",
  ".wasm": "application/wasm", ".gz": "application/octet-stream", ".txt": "text/plain" };

/// The package, served on 127.0.0.1 only.
async function serve() {
  const server = createServer((request, response) => {
    const path = normalize(join(dist, decodeURIComponent(new URL(request.url, "http://x").pathname)));
    if (!path.startsWith(dist) || !existsSync(path) || statSync(path).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "content-type": types[extname(path)] ?? "application/octet-stream" });
    response.end(readFileSync(path));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return server;
}

function browse(args) {
  return promisify(execFile)(chromium, [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    `--user-data-dir=${join(shots, "chromium-profile")}`, "--virtual-time-budget=30000", ...args,
  ], { timeout: 120000, maxBuffer: 1 << 24 });
}

test("the demo page and the DOM checks in Chromium", { skip: !chromium && "chromium is not installed" }, async () => {
  mkdirSync(shots, { recursive: true });
  const server = await serve();
  const base = `http://127.0.0.1:${server.address().port}`;
  try {
    const { stdout } = await browse(["--dump-dom", `${base}/demo/test.html`]);
    const found = stdout.match(/<pre id="results">([^<]*)<\/pre>/);
    assert.ok(found && found[1], `no results in the page:\n${stdout.slice(0, 2000)}`);
    const results = JSON.parse(found[1].replaceAll("&quot;", '"').replaceAll("&amp;", "&"));
    assert.equal(results.error, undefined, results.error);
    for (const [check, passed] of Object.entries(results)) assert.equal(passed, true, check);
    assert.ok(Object.keys(results).length >= 10);
    const shot = join(shots, "demo.png");
    await browse(["--window-size=1200,1400", `--screenshot=${shot}`, `${base}/demo/index.html`]);
    assert.ok(statSync(shot).size > 10000, "no screenshot");
  } finally {
    server.close();
  }
});
