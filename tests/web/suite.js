// The behaviour suite's page (emscripten's pre-js): its arguments, its
// environment from the driver (run.js), its verdict back to the driver.
Module['arguments'] = ['/icons', '/tests'];
(Module['preRun'] = Module['preRun'] || []).push(function () {
  Object.assign(ENV, window.bitlichtEnv || {});
});
Module['printErr'] = function (text) { console.warn(text); };
Module['onAbort'] = function () { window.bitlichtDone(134); };
