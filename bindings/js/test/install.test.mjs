// The package as a user gets it: packed with npm, installed from the
// tarball into an empty project, then imported by its name, as an ES module
// and from CommonJS, the "hyphen" drop-in by its subpath.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";

const dist = fileURLToPath(new URL("../dist/", import.meta.url));

test("npm pack, npm install, then import and require by name", () => {
  const project = mkdtempSync(join(tmpdir(), "morvane-consumer-"));
  try {
    const quiet = { cwd: project, stdio: ["ignore", "pipe", "pipe"] };
    execFileSync("npm", ["pack", dist, "--pack-destination", project], quiet);
    const tarball = readdirSync(project).find((f) => f.endsWith(".tgz"));
    writeFileSync(join(project, "package.json"), '{ "name": "consumer", "private": true }\n');
    execFileSync("npm", ["install", "--offline", "--no-audit", "--no-fund", join(project, tarball)], quiet);
    writeFileSync(join(project, "use.mjs"), `
      import { loadHyphenator } from "morvane";
      import { hyphenateSync } from "morvane/hyphen/de";
      const h = await loadHyphenator("de-CH");
      console.log(h.insert("Silbentrennung", "-"), hyphenateSync("Silbentrennung", { hyphenChar: "=" }));
    `);
    writeFileSync(join(project, "use.cjs"), `
      const { loadHyphenatorSync } = require("morvane");
      console.log(loadHyphenatorSync("fr").insert("anticonstitutionnellement", "-"));
    `);
    assert.equal(execFileSync("node", ["use.mjs"], quiet).toString(), "Sil-ben-tren-nung Sil=ben=tren=nung\n");
    assert.equal(execFileSync("node", ["use.cjs"], quiet).toString(), "an-ti-cons-ti-tu-tion-nel-le-ment\n");
  } finally {
    rmSync(project, { recursive: true, force: true });
  }
});
