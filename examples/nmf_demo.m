function [W, H, history] = nmf_demo(outdir, image_count)
% NMF_DEMO  Factorise Fashion-MNIST test images with greedycd and draw the result.
%
%   nmf_demo(outdir)
%   nmf_demo(outdir, image_count)
%   [W, H, history] = nmf_demo(...)
%
%   Reads the first image_count (default all 10000) test images of Debian's
%   dataset-fashion-mnist package, factorises the 784-by-N pixel matrix with
%   rank 25 by nmf_greedycd, printing one line per outer iteration, and
%   writes two pictures into outdir:
%     nmf_objective.png   the objective against elapsed time
%     nmf_basis.png       the 25 learned basis images as a grid

  if nargin < 2
    image_count = Inf;
  end
  data_file = '/usr/share/datasets/fashion-mnist/t10k-images-idx3-ubyte.gz';
  factor_rank = 25;

  if ~exist(data_file, 'file')
    error('nmf_demo:noData', '%s is missing; install the dataset-fashion-mnist package', data_file);
  end
  [images, rows, cols] = read_idx_images(data_file, image_count);
  V = double(images) / 255;
  fprintf('Factorising %d Fashion-MNIST images (%d-by-%d pixels) with rank %d\n', ...
          size(V, 2), rows, cols, factor_rank);

  rand('state', 0);  % the same starting factors, so the same basis images, every run
  options = struct('maxiter', 200, 'tol', 1e-4, 'verbose', true);
  [W, H, history] = nmf_greedycd(V, factor_rank, options);
  fprintf('%d outer iterations in %.2f s; relative error %.4f\n', numel(history.seconds), ...
          sum(history.seconds), sqrt(2 * history.objective(end)) / norm(V, 'fro'));

  if ~exist(outdir, 'dir')
    mkdir(outdir);
  end
  objective_file = fullfile(outdir, 'nmf_objective.png');
  basis_file = fullfile(outdir, 'nmf_basis.png');
  plot_objective(history, size(V, 2), factor_rank, objective_file);
  imwrite(uint8(round(255 * basis_grid(W, H, rows, cols))), basis_file);
  fprintf('Wrote %s and %s\n', objective_file, basis_file);
end

function plot_objective(history, image_count, factor_rank, file)
  print_options = {'-dpng', '-r100'};
  if exist('OCTAVE_VERSION', 'builtin')
    % A command-line Octave has no on-screen toolkit; gnuplot draws off-screen
    % and writes PNG through its own cairo terminal, without Ghostscript.
    if isempty(getenv('DISPLAY')) || ~any(strcmp(available_graphics_toolkits(), graphics_toolkit()))
      warning('off', 'Octave:gnuplot-graphics');
      graphics_toolkit('gnuplot');
    end
    if strcmp(graphics_toolkit(), 'gnuplot')
      warning('off', 'print:nogs');
      print_options = {'-dpngcairo', '-S800,500'};
    end
  end
  elapsed = cumsum([0, history.seconds]);
  figure_handle = figure('visible', 'off');
  % 8 by 5 inches at 100 dpi: an 800 by 500 picture.
  set(figure_handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  semilogy(elapsed, history.objective, '.-');
  grid on;
  set(gca, 'FontSize', 10);
  xlabel('time (s)');
  ylabel('objective 0.5 ||V - W^T H||^2');
  title(sprintf('Fashion-MNIST, %d images, rank %d', image_count, factor_rank));
  print(figure_handle, file, print_options{:});
  close(figure_handle);
end

function grid_image = basis_grid(W, H, rows, cols)
% One tile per row of W, strongest component first, each scaled to [0, 1],
% enlarged 3 times and separated by grey lines.
  [k, ~] = size(W);
  strength = sqrt(sum(W .^ 2, 2)) .* sqrt(sum(H .^ 2, 2));
  [~, order] = sort(strength, 'descend');
  across = ceil(sqrt(k));
  down = ceil(k / across);
  zoom = 3;
  gap = 2;
  tile_rows = rows * zoom;
  tile_cols = cols * zoom;
  grid_image = 0.5 * ones(down * (tile_rows + gap) + gap, across * (tile_cols + gap) + gap);
  for t = 1:k
    basis = reshape(W(order(t), :), cols, rows)';
    peak = max(basis(:));
    if peak > 0
      basis = basis / peak;
    end
    tile = kron(basis, ones(zoom));
    r0 = floor((t - 1) / across) * (tile_rows + gap) + gap;
    c0 = mod(t - 1, across) * (tile_cols + gap) + gap;
    grid_image(r0 + (1:tile_rows), c0 + (1:tile_cols)) = tile;
  end
end
