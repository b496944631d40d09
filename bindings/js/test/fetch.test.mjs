// Languages come on demand: a file that cannot be fetched rejects with its
// address, and a later try from the package still loads it. A file of its
// own, so that no other test has loaded the language before.
import assert from "node:assert/strict";
import { test } from "node:test";

import { configure, loadHyphenator, ready } from "../dist/index.mjs";

test("a language file that cannot be fetched rejects with its address", async () => {
  await ready();
  configure({ base: "http://127.0.0.1:9/morvane/" });
  await assert.rejects(ready("cy"), /http:\/\/127\.0\.0\.1:9\/morvane\/languages\/cy\.gz/);
  configure({ base: null });
  await assert.rejects(ready("klingon"), /unknown language "klingon"/);
  assert.equal((await loadHyphenator("cy")).insert("cymraeg", "-").replaceAll("-", ""), "cymraeg");
});
