// Before the program starts (emscripten's pre-js). The technical lines the
// desktop prints on stderr are warnings here (emscripten makes them console
// errors). Over http the two LED files beside the page are fetched once into
// the program's directory, /bitlicht, where the reactions read them at every
// change; from file:// a fetch only fails, and the built-in images stand in,
// as for a missing or bad file.
Module['printErr'] = function (text) { console.warn(text); };
Module['preRun'] = [function () {
  FS.mkdir('/bitlicht');
  if (!/^https?:$/.test(location.protocol)) return;
  addRunDependency('bitlicht-leds');
  Promise.all(['LEDgruenDu.ico', 'LEDgruenHe.ico'].map(function (name) {
    return fetch(name).then(function (response) {
      return response.ok ? response.arrayBuffer() : null;
    }).then(function (bytes) {
      if (bytes) FS.writeFile('/bitlicht/' + name, new Uint8Array(bytes));
    }).catch(function () {});
  })).then(function () { removeRunDependency('bitlicht-leds'); });
}];
