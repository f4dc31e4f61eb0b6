function options = headless_print_options()
% HEADLESS_PRINT_OPTIONS  print's options for an 800-by-500 PNG of a figure,
% with or without a display, as the example programs draw their pictures.
%
%   options = headless_print_options();
%   print(figure_handle, 'picture.png', options{:});
%
%   A command-line Octave has no on-screen toolkit: gnuplot then draws
%   off-screen and writes the PNG through its own cairo terminal, without
%   Ghostscript. Elsewhere (MATLAB, or Octave with a display) it is a PNG
%   at 100 dpi of a figure whose PaperPosition is 8 by 5 inches.
  options = {'-dpng', '-r100'};
  if exist('OCTAVE_VERSION', 'builtin')
    if isempty(getenv('DISPLAY')) || ~any(strcmp(available_graphics_toolkits(), graphics_toolkit()))
      warning('off', 'Octave:gnuplot-graphics');
      graphics_toolkit('gnuplot');
    end
    if strcmp(graphics_toolkit(), 'gnuplot')
      warning('off', 'print:nogs');
      options = {'-dpngcairo', '-S800,500'};
    end
  end
end
