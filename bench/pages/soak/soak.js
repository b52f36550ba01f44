// The soak's pages: each asks the portal for the feed four times a second (quotes, and the day's
// plan that the driver rewrites), shows the quotes, and hands the feed to its page's own part.
// Every fetch is logged by the portal with its area, so the log tells what each page did.
function soakStart(area, onFeed) {
  (new Image()).src = '/__beacon?page=soak-' + area;
  const table = document.getElementById('quotes');
  let seq = 0;
  let busy = false;
  setInterval(function () {
    if (busy)
      return;
    busy = true;
    fetch('/bench/soak/feed.json?area=' + area + '&n=' + (seq++), {cache: 'no-store'})
      .then(function (answer) { return answer.json(); })
      .then(function (feed) {
        table.innerHTML = feed.quotes.map(function (q) {
          return '<tr><td>' + q.code + '</td><td>' + q.price.toFixed(2) + '</td><td class="' +
                 (q.change < 0 ? 'down' : 'up') + '">' + q.change.toFixed(2) + '%</td></tr>';
        }).join('');
        if (onFeed)
          onFeed(feed);
      })
      .catch(function () {})
      .finally(function () { busy = false; });
  }, 250);
}

function soakParam(name) {
  return Number(new URLSearchParams(location.search).get(name) || 0);
}
