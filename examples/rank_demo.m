function varargout = rank_demo(outdir, image_count, ks, data_file)
% RANK_DEMO  Choose the rank of an NMF of Fashion-MNIST by cross-validation.
%
%   rank_demo()
%   rank_demo(outdir, image_count, ks, data_file)
%   [k, info] = rank_demo(...)
%
%   Reads the first image_count (default 500) images of data_file
%   (default: the test images of Debian's dataset-fashion-mnist package)
%   and runs greedynmf_rank on the 784-by-N pixel matrix over the ranks ks
%   (default [2 4 8 16 24 32 48 64 96 128]): 5% of the pixels held out,
%   each rank fitted on the rest, the smallest rank within one standard
%   error of the lowest held-out error chosen. Prints each rank's error and
%   writes outdir/rank_curve.png (default outdir: the current folder): the
%   held-out error against k, the one-standard-error bound and the rank
%   chosen. With few images for its parameters a large rank fits the
%   pixels it sees at the cost of those it does not: the held-out error
%   falls while k adds detail shared across images, then climbs. Seeded, so every run chooses the same k. k and info
%   (greedynmf_rank's) are returned only when asked for.
%
%   See also GREEDYNMF_RANK, INPAINTING_DEMO.
  if nargin < 1 || isempty(outdir)
    outdir = pwd;
  end
  if nargin < 2 || isempty(image_count)
    image_count = 500;
  end
  if nargin < 3 || isempty(ks)
    ks = [2 4 8 16 24 32 48 64 96 128];
  end
  if nargin < 4
    data_file = [];
  end
  if ~ischar(outdir) || size(outdir, 1) ~= 1
    error('rank_demo:badInput', 'outdir must be a folder name');
  end
  data_file = fashion_mnist_file(data_file, 'rank_demo');
  if ~exist(outdir, 'dir') && ~mkdir(outdir)
    error('rank_demo:badInput', 'cannot make the folder %s', outdir);
  end

  images = read_idx_images(data_file, image_count);
  V = double(images) / 255;
  fprintf('Cross-validating the rank of %d Fashion-MNIST images over k = %s\n', ...
          size(V, 2), mat2str(ks));
  [k, info] = greedynmf_rank(V, ks, 'seed', 1, 'verbose', true, 'maxiter', 300);
  fprintf('Chosen: k = %d (the lowest held-out error is at k = %d)\n', k, info.lowest);

  picture = fullfile(outdir, 'rank_curve.png');
  draw(info, size(V, 2), picture);
  fprintf('Wrote %s\n', picture);
  outputs = {k, info};
  varargout = outputs(1:nargout);
end

function draw(info, image_count, file)
  print_options = headless_print_options();
  rmse = sqrt(info.mse);
  [~, lowest] = min(info.mse);
  % The rule's bound on the mean squared error, as a root.
  bound = sqrt(info.mse(lowest) + info.se(lowest));
  handle = figure('visible', 'off');
  set(handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  % Past the data's reach the error can climb by orders of magnitude: those
  % points are marked at the top edge, with their value.
  top = 1.1 * rmse(1);
  shown = min(rmse, top);
  plot(info.ks, shown, 'o-');
  hold on;
  plot([info.ks(1), info.ks(end)], [bound, bound], 'k--');
  plot(info.k, rmse(info.ks == info.k), 'kp', 'MarkerSize', 12, 'MarkerFaceColor', 'y');
  for i = find(rmse > top)
    text(info.ks(i), top, sprintf(' %.3g', rmse(i)), 'VerticalAlignment', 'top', ...
         'HorizontalAlignment', 'right', 'FontSize', 9);
  end
  hold off;
  ylim([0.9 * min(rmse), top]);
  grid on;
  set(gca, 'FontSize', 10);
  % Labels beside the marks rather than a legend box over the curve.
  text(info.k, rmse(info.ks == info.k), sprintf('  k = %d chosen', info.k), ...
       'VerticalAlignment', 'bottom', 'FontSize', 10);
  text(info.ks(1), bound, ' lowest + one standard error', 'VerticalAlignment', 'bottom', 'FontSize', 9);
  xlabel('rank k');
  ylabel('RMSE on held-out pixels');
  title(sprintf('Fashion-MNIST, %d images, 5%% held out', image_count));
  print(handle, file, print_options{:});
  close(handle);
end
