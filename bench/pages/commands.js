// The open-window command the benchmark pages navigate to: a cascade of 360 by 240 pop-ups from the
// top-left corner, away from the opener in the middle of the screen.
function openCommand(index, count, closeWhenLoaded) {
  const page = location.origin + '/bench/pop.html?i=' + index + '&n=' + count + (closeWhenLoaded ? '&close=1' : '');
  return '/cmd.jsp?bench=open&cpp_open_win=1&cpp_url=' + encodeURIComponent(page) +
         '&cpp_left=' + (10 + 30 * (index % 8)) + '&cpp_top=' + (10 + 30 * (index % 8)) +
         '&cpp_width=360&cpp_height=240';
}
